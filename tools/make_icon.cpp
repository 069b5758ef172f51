// make-icon FILE: writes the installer's icon (resources/install.ico).

#include <cstdio>

#include "tools/bmp_writer.h"
#include "tools/install_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-icon FILE\n");
    return 2;
  }
  std::vector<RgbaImage> images;
  for (int size : kInstallIconSizes) images.push_back(RenderInstallIcon(size));
  return WriteFileBytes(argv[1], EncodeIco(images)) ? 0 : 1;
}
