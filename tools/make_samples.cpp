// make-samples OUTDIR [options]: paints the demo's sample pictures, or one picture on demand.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/picture_file.h"
#include "tools/sample_request.h"
#include "tools/scenes.h"

namespace {

struct Sample {
  const char* name;
  int width, height;
  std::function<RgbImage(int, int)> paint;
  PictureFormat format;
};

PictureFormat Jpeg(int quality, JpegSampling sampling = JpegSampling::k420) {
  PictureFormat f;
  f.jpeg = {quality, sampling};
  return f;
}

PictureFormat Bmp(int bits) {
  PictureFormat f;
  f.kind = PictureFormat::Kind::kBmp;
  f.bmpBits = bits;
  return f;
}

std::function<RgbImage(int, int)> Landscape(LandscapeStyle (*style)()) {
  return [style](int w, int h) { return PaintLandscape(w, h, style()); };
}

// A spread of sizes, shapes and encodings, so the demo exercises every path of the
// picture loader: large and small, portrait, odd sizes, 4:2:0, 4:4:4, grey, 24- and 8-bit.
std::vector<Sample> Catalogue() {
  return {
      {"01-sunrise.jpg", 1600, 1200, Landscape(SunriseStyle), Jpeg(90)},
      {"02-plasma.jpg", 1920, 1080, PaintPlasma, Jpeg(88)},
      {"03-tiles.bmp", 800, 600, PaintTiles, Bmp(24)},
      {"04-test-card.bmp", 640, 480, PaintTestCard, Bmp(8)},
      {"05-dusk-portrait.jpg", 768, 1024, Landscape(DuskStyle), Jpeg(90)},
      {"06-seahorse-valley.jpg", 1024, 768, PaintFractal, Jpeg(92)},
      {"07-small-meadow.jpg", 320, 240, Landscape(NoonStyle), Jpeg(90)},
      {"08-aurora.jpg", 1280, 720, PaintAurora, Jpeg(90)},
      {"09-ripples.jpg", 999, 667, PaintRings, Jpeg(85, JpegSampling::k444)},
      {"10-moonlit-grey.jpg", 1200, 800, Landscape(MoonlitStyle), Jpeg(90, JpegSampling::kGrey)},
      {"11-meadow-256.bmp", 640, 480, Landscape(NoonStyle), Bmp(8)},
  };
}

std::string Join(const std::string& dir, const std::string& name) {
  return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

}  // namespace

int main(int argc, char** argv) {
  const auto request = ParseSampleRequest(argc, argv);
  if (!request) return 2;

  if (request->single) {
    const RgbImage image = PaintPattern(request->pattern, request->width, request->height);
    return SavePicture(Join(request->outDir, FileNameFor(*request)), image, request->format) ? 0 : 1;
  }
  for (const Sample& sample : Catalogue()) {
    const RgbImage image = sample.paint(sample.width, sample.height);
    if (!SavePicture(Join(request->outDir, sample.name), image, sample.format)) return 1;
  }
  return 0;
}
