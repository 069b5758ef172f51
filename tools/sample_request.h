// The command line of make-samples: either the whole demo set, or one picture of a
// chosen size, kind and content (tests use that for edge cases like 1x1 or huge files).
#pragma once

#include <optional>
#include <string>

#include "tools/picture_file.h"

struct SampleRequest {
  std::string outDir;
  bool single = false;  // any of the one-picture options was given
  int width = 640, height = 480;
  PictureFormat format;
  std::string pattern = "photo";
  std::string name;  // defaults to <pattern>-<W>x<H>.<kind>
};

// Returns nothing (after printing why) if the arguments make no sense.
std::optional<SampleRequest> ParseSampleRequest(int argc, char** argv);

// Paints the content named by a --pattern value, or returns an empty image if unknown.
RgbImage PaintPattern(const std::string& pattern, int width, int height);

std::string FileNameFor(const SampleRequest& request);
