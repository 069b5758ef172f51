// Damaged streams and interrupted decodes: what survives truncation and corruption,
// how restart markers contain damage, and how promptly a stop request is obeyed.
#include <gtest/gtest.h>

#include <climits>

#include "tests/native/jpeg_test_support.h"

namespace {

using jpeg_test::Decode;
using jpeg_test::Decoded;
using jpeg_test::EncodeOptions;
using picdll::DecodeStatus;

constexpr int kWidth = 320, kHeight = 240;  // 2x2 subsampling: 15 MCU rows of 16 lines
constexpr int kMcuRows = kHeight / 16;

std::vector<uint8_t> Encode(const EncodeOptions& options, int width = kWidth, int height = kHeight)
{
    std::vector<uint8_t> file;
    jpeg_test::EncodeWithLibjpeg(jpeg_test::SyntheticPhoto(width, height), options, file);
    return file;
}

EncodeOptions Progressive()
{
    EncodeOptions o;
    o.progressive = true;
    return o;
}

EncodeOptions WithRestarts()
{
    EncodeOptions o;
    o.restart_rows = 1;
    return o;
}

bool RowsEqual(const jpeg_test::Rgb& a, const jpeg_test::Rgb& b, int first, int last)
{
    size_t row = size_t(a.width) * 3;
    return std::equal(a.pixels.begin() + long(first * row), a.pixels.begin() + long(last * row),
                      b.pixels.begin() + long(first * row));
}

bool RowIsGrey(const jpeg_test::Rgb& img, int y)
{
    for (int i = 0; i < img.width * 3; ++i)
        if (img.pixels[size_t(y) * img.width * 3 + i] != 128) return false;
    return true;
}

// Offsets just after each restart marker.
std::vector<size_t> RestartOffsets(const std::vector<uint8_t>& file)
{
    std::vector<size_t> offsets;
    for (size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] >= 0xD0 && file[i + 1] <= 0xD7) offsets.push_back(i + 2);
    return offsets;
}

class JpegDamage : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!jpeg_test::HaveReference()) GTEST_SKIP() << "libjpeg is needed to make the test files";
    }
};

TEST_F(JpegDamage, TruncatedBaselineKeepsWhatArrived)
{
    std::vector<uint8_t> file = Encode(EncodeOptions());
    Decoded full = Decode(file);
    ASSERT_EQ(full.status, DecodeStatus::Ok);
    for (int percent = 0; percent < 100; percent += 3) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + long(file.size() * percent / 100));
        Decoded d = Decode(cut);
        if (d.status == DecodeStatus::Failed) {
            EXPECT_FALSE(d.why.empty()) << percent << "%";
            EXPECT_LT(percent, 10) << "only a cut inside the headers may fail";
            continue;
        }
        ASSERT_EQ(d.status, DecodeStatus::Ok) << percent << "%";
        if (percent >= 40) {
            EXPECT_TRUE(RowsEqual(d.image, full.image, 0, 16)) << percent << "%";
        }
        // What never arrived is grey.
        if (percent < 90) {
            EXPECT_TRUE(RowIsGrey(d.image, kHeight - 1)) << percent << "%";
        }
    }
}

TEST_F(JpegDamage, TruncatedProgressiveShowsEarlierScans)
{
    std::vector<uint8_t> file = Encode(Progressive());
    Decoded full = Decode(file);
    ASSERT_EQ(full.status, DecodeStatus::Ok);
    for (int percent = 5; percent < 100; percent += 5) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + long(file.size() * percent / 100));
        Decoded d = Decode(cut);
        ASSERT_EQ(d.status, DecodeStatus::Ok) << percent << "% " << d.why;
        // The first scans give a coarse but recognisable picture.
        if (percent >= 30) {
            EXPECT_GT(jpeg_test::Psnr(d.image, full.image), 20.0) << percent << "%";
        }
    }
}

// A progressive file cut short is smoothed as libjpeg smooths it: low AC terms that never
// arrived are predicted from the DC terms around, so the picture shows no tiles. Without
// that these cuts fall to 25-35 dB; what differences remain come from where exactly each
// decoder gives up on the last, partly received MCU. A whole file is never smoothed.
TEST_F(JpegDamage, TruncatedProgressiveIsSmoothedAsLibjpegDoes)
{
    EncodeOptions restarts = Progressive(), ink = Progressive(), apart = Progressive();
    restarts.restart_rows = 1;
    ink.ink = EncodeOptions::Ink::Cmyk;
    apart.scans_apart = true;
    std::vector<std::vector<uint8_t>> files = {Encode(Progressive()), Encode(restarts), Encode(ink),
                                               Encode(apart)};
    if (jpeg_test::HaveCorpus()) {
        for (const char* name : {"jpeg/ljt/testorig.jpg", "jpeg/orientation/Landscape_1.jpg"}) {
            jpeg_test::Rgb photo;
            ASSERT_TRUE(jpeg_test::ReferenceDecode(jpeg_test::ReadFile(jpeg_test::CorpusPath(name)), photo));
            files.emplace_back();
            ASSERT_TRUE(jpeg_test::EncodeWithLibjpeg(photo, Progressive(), files.back()));
        }
    }
    double worst = 99;
    for (size_t f = 0; f < files.size(); ++f) {
        const std::vector<uint8_t>& file = files[f];
        for (int part = 1; part <= 40; ++part) {
            std::vector<uint8_t> cut(file.begin(), file.begin() + long(file.size() * part / 40));
            jpeg_test::Rgb reference;
            if (!jpeg_test::ReferenceDecode(cut, reference)) continue;  // cut inside the headers
            Decoded ours = Decode(cut);
            ASSERT_EQ(ours.status, DecodeStatus::Ok) << "file " << f << ", " << part << "/40";
            const double psnr = jpeg_test::Psnr(ours.image, reference);
            if (part == 40) {
                EXPECT_EQ(jpeg_test::MaxDifference(ours.image, reference), 0) << "file " << f;
            }
            EXPECT_GE(psnr, 40.0) << "file " << f << ", " << part << "/40";
            worst = std::min(worst, psnr);
        }
    }
    RecordProperty("worst_psnr_db", std::to_string(worst));
}

TEST_F(JpegDamage, CorruptBytesDecodeOrFailCleanly)
{
    for (const EncodeOptions& options : {EncodeOptions(), Progressive(), WithRestarts()}) {
        std::vector<uint8_t> file = Encode(options);
        uint32_t state = 12345;
        for (int round = 0; round < 150; ++round) {
            std::vector<uint8_t> damaged = file;
            for (int i = 0; i < 1 + round % 8; ++i) {
                state = state * 1664525u + 1013904223u;
                damaged[(state >> 8) % damaged.size()] = uint8_t(state >> 24);
            }
            Decoded d = Decode(damaged);
            if (d.status == DecodeStatus::Failed) {
                EXPECT_FALSE(d.why.empty());
                continue;
            }
            ASSERT_EQ(d.status, DecodeStatus::Ok);
            picdll::Dimensions dims;
            ASSERT_TRUE(picdll::JpegDimensions(damaged.data(), damaged.size(), dims));
            EXPECT_EQ(dims.width, d.image.width);
            EXPECT_EQ(dims.height, d.image.height);
        }
    }
}

// Garbage in one restart interval spoils that interval only. (Chroma upsampling reaches
// one MCU row further, so comparison starts two rows after the damaged one.)
TEST_F(JpegDamage, DamageStaysInItsRestartInterval)
{
    std::vector<uint8_t> file = Encode(WithRestarts());
    Decoded clean = Decode(file);
    std::vector<size_t> restarts = RestartOffsets(file);
    ASSERT_EQ(restarts.size(), size_t(kMcuRows - 1));
    std::vector<uint8_t> damaged = file;
    int damaged_row = 5;  // the interval after the fifth marker
    for (size_t i = restarts[4] + 4; i < restarts[5] - 8; i += 7) damaged[i] = uint8_t(i * 37 % 255);
    Decoded d = Decode(damaged);
    ASSERT_EQ(d.status, DecodeStatus::Ok);
    EXPECT_TRUE(RowsEqual(d.image, clean.image, 0, 16 * damaged_row - 16));
    EXPECT_TRUE(RowsEqual(d.image, clean.image, 16 * (damaged_row + 2), kHeight));
}

// A restart marker and the interval after it disappear: the marker that follows tells
// how much was lost, so the intervals after it land in their own rows.
TEST_F(JpegDamage, LostIntervalLeavesLaterRowsInPlace)
{
    std::vector<uint8_t> file = Encode(WithRestarts());
    Decoded clean = Decode(file);
    std::vector<size_t> restarts = RestartOffsets(file);
    ASSERT_GE(restarts.size(), 4u);
    std::vector<uint8_t> damaged(file.begin(), file.begin() + long(restarts[1] - 2));
    damaged.insert(damaged.end(), file.begin() + long(restarts[2] - 2), file.end());
    Decoded d = Decode(damaged);
    ASSERT_EQ(d.status, DecodeStatus::Ok);
    EXPECT_TRUE(RowsEqual(d.image, clean.image, 0, 16));
    EXPECT_TRUE(RowIsGrey(d.image, 2 * 16 + 8));  // the lost interval
    EXPECT_TRUE(RowsEqual(d.image, clean.image, 4 * 16, kHeight));
}

TEST_F(JpegDamage, RefusedAllocationFails)
{
    std::vector<uint8_t> file = Encode(EncodeOptions());
    jpeg_test::MemoryTarget target;
    target.refuse_allocation = true;
    std::string why;
    EXPECT_EQ(picdll::DecodeJpeg(file.data(), file.size(), target, &why), DecodeStatus::Failed);
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(target.keep_going_calls, 0);
}

struct StopCase {
    const char* name;
    EncodeOptions options;
    int width;
};

class JpegStop : public JpegDamage, public ::testing::WithParamInterface<StopCase> {};

// Full size (asked for a size no picture has) or reduced by 8 (asked for nothing).
DecodeStatus DecodeAt(int wanted, const std::vector<uint8_t>& file, jpeg_test::MemoryTarget& target)
{
    int reduction = 0;
    return picdll::DecodeJpegReduced(file.data(), file.size(), wanted, wanted, target, reduction);
}

// The decoder asks often enough, full size or reduced: for every MCU row of every pass, for
// every row it writes, and within rows of a wide picture at least every 64 MCUs.
TEST_P(JpegStop, AsksToGoOnForEveryMcuRow)
{
    std::vector<uint8_t> file = Encode(GetParam().options, GetParam().width);
    for (int wanted : {INT_MAX, 0}) {
        jpeg_test::MemoryTarget target;
        ASSERT_EQ(DecodeAt(wanted, file, target), DecodeStatus::Ok);
        int mcus_wide = (GetParam().width + 15) / 16;
        long per_row = (mcus_wide + 63) / 64;
        EXPECT_GE(target.keep_going_calls, kMcuRows * per_row + target.image.height) << wanted;
    }
}

// Stopped at any point, the decode returns Stopped without asking again.
TEST_P(JpegStop, StopsAtOnce)
{
    std::vector<uint8_t> file = Encode(GetParam().options, GetParam().width);
    for (int wanted : {INT_MAX, 0}) {
        jpeg_test::MemoryTarget counter;
        ASSERT_EQ(DecodeAt(wanted, file, counter), DecodeStatus::Ok);
        for (long stop = 1; stop <= counter.keep_going_calls; stop += 1 + counter.keep_going_calls / 23) {
            jpeg_test::MemoryTarget target;
            target.stop_after = stop;
            EXPECT_EQ(DecodeAt(wanted, file, target), DecodeStatus::Stopped) << wanted;
            EXPECT_EQ(target.keep_going_calls, stop) << wanted;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(JpegKinds, JpegStop,
                         ::testing::Values(StopCase{"baseline", EncodeOptions(), kWidth},
                                           StopCase{"progressive", Progressive(), kWidth},
                                           StopCase{"wide", EncodeOptions(), 4000}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
