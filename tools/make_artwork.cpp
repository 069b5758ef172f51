// make-artwork OUTDIR: writes the saver's bitmap resources (frame01..frame10.bmp, banner.bmp).

#include <cstdio>
#include <string>

#include "tools/artwork.h"
#include "tools/bmp_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-artwork OUTDIR\n");
    return 2;
  }
  std::string dir = argv[1];
  if (!dir.empty() && dir.back() != '/') dir += '/';

  for (int frame = 1; frame <= kLogoFrames; ++frame) {
    char name[16];
    std::snprintf(name, sizeof name, "frame%02d.bmp", frame);
    if (!WriteFileBytes(dir + name, EncodeBmp8(RenderLogoFrame(frame)))) return 1;
  }
  return WriteFileBytes(dir + "banner.bmp", EncodeBmp8(RenderBanner())) ? 0 : 1;
}
