// picdecode FILE OUT.ppm [--fit WxH] [--dims]
// Decodes a JPEG or BMP file exactly as the saver does and writes it as a binary PPM.
// With --fit, the picture is fitted to a WxH area as the saver fits it (reducing and
// enlarging on); with --dims, only the header's dimensions are read and printed.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "pictures/catalogue.h"
#include "pictures/fit.h"
#include "tools/picdecode.h"

namespace {

int Fail(const std::string& reason)
{
    std::fprintf(stderr, "picdecode: %s\n", reason.c_str());
    return 1;
}

bool WritePpm(const std::string& path, const uint8_t* rgb, int width, int height)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    const size_t bytes = size_t(width) * size_t(height) * 3;
    const bool written = std::fwrite(rgb, 1, bytes, file) == bytes;
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string input, output;
    int fitWidth = 0, fitHeight = 0;
    bool dimensionsOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--dims")) {
            dimensionsOnly = true;
        } else if (!std::strcmp(argv[i], "--fit") && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &fitWidth, &fitHeight) != 2 || fitWidth < 1 || fitHeight < 1)
                return Fail("--fit takes WxH");
        } else if (input.empty()) {
            input = argv[i];
        } else if (output.empty()) {
            output = argv[i];
        } else {
            input.clear();
            break;
        }
    }
    if (input.empty() || (output.empty() && !dimensionsOnly)) {
        std::fprintf(stderr, "usage: picdecode FILE OUT.ppm [--fit WxH] [--dims]\n");
        return 2;
    }

    PictureFormat format;
    switch (KindOfPath(input.c_str())) {
    case PictureKind::Jpeg: format = PictureFormat::Jpeg; break;
    case PictureKind::Bmp: format = PictureFormat::Bmp; break;
    default: return Fail("not a .jpg or .bmp file: " + input);
    }

    PictureLibrary& library = ThisBuildsLibrary();
    int width = 0, height = 0;
    const bool known = library.Dimensions(input, format, width, height);
    std::printf("dimensions %dx%d\n", width, height);
    if (dimensionsOnly) return known ? 0 : Fail("dimensions unreadable");

    std::vector<uint8_t> rgb;
    std::string why;
    // As the saver does: a JPEG that the fit reduces to half or less is decoded reduced, and
    // fitted to the size its full dimensions give.
    auto fitOf = [&](int w, int h) {
        return FitToArea(w, h, fitWidth, fitHeight, float(fitWidth) / float(fitHeight), true, true);
    };
    const int fullWidth = width, fullHeight = height;
    const int reduction =
        known && fitWidth > 0 && format == PictureFormat::Jpeg ? FitReduction(fitOf(width, height), width, height) : 1;
    int used = 1;
    const bool read = reduction > 1 ? library.ReadReducedJpeg(input, width / reduction, height / reduction, rgb, width,
                                                              height, used, why)
                                    : library.Read(input, format, rgb, width, height, why);
    if (!read) return Fail("read failed: " + why);
    std::printf("decoded %dx%d", width, height);
    if (used > 1) std::printf(" (1/%d)", used);
    std::printf("\n");

    if (fitWidth > 0) {
        const FittedSize fit = used > 1 ? fitOf(fullWidth, fullHeight) : fitOf(width, height);
        if (fit.scaled) {
            std::vector<uint8_t> scaled(size_t(fit.width) * size_t(fit.height) * 3);
            if (!library.Resize(rgb.data(), width, height, used, scaled.data(), fit.width, fit.height))
                return Fail("out of memory fitting the picture");
            rgb.swap(scaled);
            width = fit.width;
            height = fit.height;
        }
        std::printf("fitted %dx%d\n", width, height);
    }
    if (!WritePpm(output, rgb.data(), width, height)) return Fail("cannot write " + output);
    return 0;
}
