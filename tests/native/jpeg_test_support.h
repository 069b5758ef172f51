// Shared helpers of the native JPEG tests: decoding into memory, libjpeg as the
// reference, the command-line encoders, and picture comparison.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "picdll/decode.h"
#include "tests/native/jpeg_synthetic.h"

namespace jpeg_test {

// Collects the picture and counts the target's calls; can stop after a given number of
// KeepGoing calls.
class MemoryTarget : public picdll::DecodeTarget {
public:
    uint8_t* Allocate(int w, int h) override;
    bool KeepGoing() override;

    Rgb image;
    int allocations = 0;
    long keep_going_calls = 0;
    long stop_after = -1;  // answer false from this call on (-1: never)
    bool refuse_allocation = false;
};

struct Decoded {
    picdll::DecodeStatus status = picdll::DecodeStatus::Failed;
    std::string why;
    Rgb image;
};
Decoded Decode(const std::vector<uint8_t>& file);

// libjpeg's decode with its defaults (islow IDCT, fancy upsampling), as RGB. CMYK and
// YCCK files come out of libjpeg as (inverted) CMYK and are turned into RGB the way
// our decoder does it. False when libjpeg is not linked in or rejects the file.
bool ReferenceDecode(const std::vector<uint8_t>& file, Rgb& out);
bool HaveReference();

struct EncodeOptions {
    int quality = 90;
    bool progressive = false;
    // Progressive, each component's DC terms in a scan of its own and the first AC band of
    // the first component refined bit by bit (three components only).
    bool scans_apart = false;
    int restart_rows = 0;  // MCU rows per restart interval; 0: none
    // Ink: the picture turned into CMYK and stored, as Adobe applications do, inverted
    // with an Adobe marker telling the colour transform (plain CMYK or YCCK).
    enum class Ink { None, Cmyk, Ycck } ink = Ink::None;
};
// Writes a JPEG with libjpeg (2x2 chroma subsampling). False without libjpeg.
bool EncodeWithLibjpeg(const Rgb& rgb, const EncodeOptions& options, std::vector<uint8_t>& out);

// Peak signal-to-noise ratio in dB (99 for identical pictures).
double Psnr(const Rgb& a, const Rgb& b);
int MaxDifference(const Rgb& a, const Rgb& b);

bool HaveProgram(const std::string& name);
// Runs a shell command; true when it exits with 0.
bool Run(const std::string& command);

// A folder of its own for generated files, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string Path(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string CorpusPath(const std::string& relative);
bool HaveCorpus();

}  // namespace jpeg_test
