#include "tools/sample_request.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/scenes.h"

namespace {

bool ParseSize(const char* text, int& width, int& height) {
  char x = 0;
  char tail = 0;
  return std::sscanf(text, "%d%c%d%c", &width, &x, &height, &tail) == 3 && (x == 'x' || x == 'X') &&
         width >= 1 && height >= 1 && width <= 65535 && height <= 65535;
}

bool ParseHexColour(const std::string& text, Rgb& colour) {
  if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
  const unsigned long v = std::strtoul(text.c_str(), nullptr, 16);
  colour = {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
  return true;
}

bool KnownPattern(const std::string& pattern) {
  Rgb unused;
  return pattern == "checker" || pattern == "gradient" || pattern == "photo" || pattern == "bars" ||
         (pattern.rfind("flat:", 0) == 0 && ParseHexColour(pattern.substr(5), unused));
}

void Usage() {
  std::fprintf(stderr,
               "usage: make-samples OUTDIR\n"
               "       make-samples OUTDIR [--size WxH] [--kind jpg|bmp] [--name NAME]\n"
               "                    [--pattern checker|gradient|photo|bars|flat:RRGGBB]\n"
               "                    [--quality 1..100] [--sampling 420|444|grey] [--bits 24|8]\n");
}

}  // namespace

std::optional<SampleRequest> ParseSampleRequest(int argc, char** argv) {
  if (argc < 2 || argv[1][0] == '-') {
    Usage();
    return std::nullopt;
  }
  SampleRequest request;
  request.outDir = argv[1];
  for (int i = 2; i < argc; i += 2) {
    const std::string option = argv[i];
    if (i + 1 >= argc) {
      std::fprintf(stderr, "%s needs a value\n", option.c_str());
      return std::nullopt;
    }
    const std::string value = argv[i + 1];
    bool ok = true;
    if (option == "--size") {
      ok = ParseSize(value.c_str(), request.width, request.height);
    } else if (option == "--kind") {
      ok = value == "jpg" || value == "bmp";
      request.format.kind = value == "bmp" ? PictureFormat::Kind::kBmp : PictureFormat::Kind::kJpeg;
    } else if (option == "--name") {
      ok = !value.empty() && value.find('/') == std::string::npos;
      request.name = value;
    } else if (option == "--pattern") {
      ok = KnownPattern(value);
      request.pattern = value;
    } else if (option == "--quality") {
      request.format.jpeg.quality = std::atoi(value.c_str());
      ok = request.format.jpeg.quality >= 1 && request.format.jpeg.quality <= 100;
    } else if (option == "--sampling") {
      ok = value == "420" || value == "444" || value == "grey";
      request.format.jpeg.sampling = value == "444"    ? JpegSampling::k444
                                     : value == "grey" ? JpegSampling::kGrey
                                                       : JpegSampling::k420;
    } else if (option == "--bits") {
      ok = value == "24" || value == "8";
      request.format.bmpBits = std::atoi(value.c_str());
    } else {
      Usage();
      return std::nullopt;
    }
    if (!ok) {
      std::fprintf(stderr, "bad value for %s: %s\n", option.c_str(), value.c_str());
      return std::nullopt;
    }
    request.single = true;
  }
  return request;
}

RgbImage PaintPattern(const std::string& pattern, int width, int height) {
  if (pattern == "checker") return PaintChecker(width, height);
  if (pattern == "gradient") return PaintGradient(width, height);
  if (pattern == "photo") return PaintLandscape(width, height, SunriseStyle());
  if (pattern == "bars") return PaintBars(width, height);
  Rgb colour;
  if (pattern.rfind("flat:", 0) == 0 && ParseHexColour(pattern.substr(5), colour)) {
    return PaintFlat(width, height, colour);
  }
  return {};
}

std::string FileNameFor(const SampleRequest& request) {
  const std::string extension = request.format.kind == PictureFormat::Kind::kBmp ? ".bmp" : ".jpg";
  if (!request.name.empty()) {
    return request.name.find('.') == std::string::npos ? request.name + extension : request.name;
  }
  std::string stem = request.pattern;
  for (char& c : stem) {
    if (c == ':') c = '-';
  }
  return stem + "-" + std::to_string(request.width) + "x" + std::to_string(request.height) + extension;
}
