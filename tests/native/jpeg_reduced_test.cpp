// Decoding reduced (1/2, 1/4, 1/8): the same pixels whatever the coding of the same terms,
// against what the saver showed before (the full decode fitted by the resampler to the same
// size), and against djpeg -scale.
//
// Real photos come from Debian's mate-backgrounds package (the gnome-backgrounds of Debian 12
// holds no JPEG), fetched by scripts/bench.sh into ~/.cache/velmora-photos (or
// $VELMORA_PHOTOS); without them only the made and corpus pictures run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "picdll/imaging.h"
#include "tests/native/jpeg_test_support.h"

namespace {

using jpeg_test::Rgb;
using picdll::DecodeStatus;

struct Source {
    std::string name;
    std::vector<uint8_t> file;
};

// Hard edges and fine detail: one-pixel lines, a fine checkerboard, saturated colour
// steps, over a photo-like background.
Rgb SharpPicture(int width, int height)
{
    Rgb img = jpeg_test::SyntheticPhoto(width, height, 5);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &img.pixels[(size_t(y) * width + x) * 3];
            if (x < width / 3 && y < height / 3) {
                std::fill(p, p + 3, ((x / 2 + y / 2) % 2) ? 255 : 0);
            } else if (x % 37 == 0 || y % 29 == 0) {
                std::fill(p, p + 3, 0);
            } else if (y > height * 2 / 3) {
                const int band = x * 6 / width;
                p[0] = band & 1 ? 255 : 0;
                p[1] = band & 2 ? 255 : 0;
                p[2] = band & 4 ? 255 : 30;
            }
        }
    }
    return img;
}

Rgb Fitted(const Rgb& img, int width, int height, int reduction = 1)
{
    Rgb out{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
    EXPECT_TRUE(
        picdll::ResizeRGB(img.pixels.data(), img.width, img.height, out.pixels.data(), width, height, reduction));
    return out;
}

struct Reduced {
    DecodeStatus status = DecodeStatus::Failed;
    int reduction = 0;
    Rgb image;
};

Reduced DecodeReduced(const std::vector<uint8_t>& file, int min_width, int min_height)
{
    jpeg_test::MemoryTarget target;
    Reduced r;
    r.status = picdll::DecodeJpegReduced(file.data(), file.size(), min_width, min_height, target, r.reduction);
    r.image = target.image;
    return r;
}

std::vector<Source> RealPhotos()
{
    std::vector<Source> photos;
    const char* env = std::getenv("VELMORA_PHOTOS");
    const char* home = std::getenv("HOME");
    const std::filesystem::path root = env ? env : std::string(home ? home : "") + "/.cache/velmora-photos";
    std::error_code error;
    if (!std::filesystem::is_directory(root, error)) return photos;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error))
        if (entry.path().extension() == ".jpg")
            photos.push_back({entry.path().filename().string(), jpeg_test::ReadFile(entry.path().string())});
    std::sort(photos.begin(), photos.end(), [](const Source& a, const Source& b) { return a.name < b.name; });
    return photos;
}

// Writes `file` to `path`.
bool WriteFile(const std::string& path, const std::vector<uint8_t>& file)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && written;
}

// Every coding and subsampling the decoder takes, on a picture with hard edges and on a
// photo-like one, `width` x `height`.
std::vector<Source> MadeFiles(const jpeg_test::TempDir& dir, int width, int height)
{
    const struct {
        const char* name;
        const char* cjpeg_options;
    } codings[] = {
        {"baseline", "-quality 90"},           {"progressive", "-progressive"},
        {"sample_1x1", "-sample 1x1"},         {"sample_2x1", "-sample 2x1"},
        {"sample_1x2", "-sample 1x2"},         {"sample_4x2", "-sample 4x2 -progressive"},
        {"sample_3x1", "-sample 3x1"},         {"sample_mixed", "-sample 2x2,2x1,1x2"},
        {"restarts", "-restart 3B"},           {"progressive_restarts", "-progressive -restart 1"},
        {"greyscale", "-grayscale"},           {"greyscale_progressive", "-grayscale -progressive"},
    };
    std::vector<Source> files;
    const struct {
        const char* name;
        Rgb picture;
    } pictures[] = {{"sharp", SharpPicture(width, height)}, {"photo", jpeg_test::SyntheticPhoto(height, width, 3)}};
    for (const auto& picture : pictures) {
        const std::string ppm = dir.Path(std::string(picture.name) + ".ppm");
        if (!jpeg_test::WritePpm(ppm, picture.picture)) return files;
        for (const auto& c : codings) {
            const std::string name = std::string(picture.name) + "_" + c.name, jpg = dir.Path(name + ".jpg");
            if (jpeg_test::Run("cjpeg " + std::string(c.cjpeg_options) + " -outfile " + jpg + " " + ppm))
                files.push_back({name, jpeg_test::ReadFile(jpg)});
        }
    }
    jpeg_test::EncodeOptions separate, cmyk, ycck, cut;
    separate.progressive = separate.scans_apart = true;
    cmyk.ink = jpeg_test::EncodeOptions::Ink::Cmyk;
    ycck.ink = jpeg_test::EncodeOptions::Ink::Ycck;
    cut.progressive = true;
    for (auto [name, options] : {std::pair{"scans_apart", separate}, {"cmyk", cmyk}, {"ycck", ycck}, {"cut", cut}}) {
        std::vector<uint8_t> file;
        if (!jpeg_test::EncodeWithLibjpeg(pictures[0].picture, options, file)) continue;
        // A progressive file cut short: the missing terms are smoothed at every size.
        if (std::string(name) == "cut") file.resize(file.size() * 45 / 100);
        files.push_back({std::string("sharp_") + name, file});
    }
    return files;
}

// Floors (for 1/2, 1/4, 1/8) of the reduced decode against the full one, both fitted below
// the picture reduced by d (to 3/4 of it at 1/2, the middle of the sizes the saver reduces by
// 2 for; to 65 % at 1/4 and 1/8, the largest it reduces by those for; only where d divides
// both sides, as the saver's fits need) and to exactly that size (a picture d times the size
// asked for, fitted without a change of size).
struct Floors {
    double below[3], exact[3];
};

void CheckAgainstFullDecode(const std::vector<Source>& sources, const Floors& floors)
{
    for (const Source& s : sources) {
        SCOPED_TRACE(s.name);
        const jpeg_test::Decoded full = jpeg_test::Decode(s.file);
        ASSERT_EQ(full.status, DecodeStatus::Ok) << full.why;
        const int w = full.image.width, h = full.image.height;
        for (int i = 0, d = 2; d <= 8; ++i, d *= 2) {
            const Reduced r = DecodeReduced(s.file, w / d, h / d);
            ASSERT_EQ(r.status, DecodeStatus::Ok) << "1/" << d;
            ASSERT_EQ(r.reduction, d);
            const int below = d == 2 ? 15 : 13;  // twentieths of the reduced size
            for (const auto& [twentieths, floor] : {std::pair{below, floors.below[i]}, {20, floors.exact[i]}}) {
                if (twentieths < 20 && (w % d || h % d)) continue;  // never reduced by d before a fit
                const int fit_w = std::max(1, w * twentieths / (20 * d));
                const int fit_h = std::max(1, h * twentieths / (20 * d));
                const double psnr =
                    jpeg_test::Psnr(Fitted(r.image, fit_w, fit_h, d), Fitted(full.image, fit_w, fit_h));
                EXPECT_GE(psnr, floor) << "1/" << d << " to " << fit_w << "x" << fit_h;
                std::printf("  %-32s 1/%d to %5dx%-5d %5.1f dB\n", s.name.c_str(), d, fit_w, fit_h, psnr);
            }
        }
    }
}

TEST(JpegReduced, ChoosesTheLargestReductionThatStillCovers)
{
    const struct {
        int width, height, min_width, min_height, expected;
    } cases[] = {
        {6000, 4000, 1620, 1080, 2}, {6000, 4000, 1500, 1000, 4}, {6000, 4000, 480, 320, 8},
        {6000, 4000, 3001, 100, 1},  {6000, 4000, 3000, 2000, 2}, {17, 9, 3, 2, 8},
        {17, 9, 3, 3, 4},            {17, 9, 5, 4, 2},            {1, 1, 1, 1, 8},             {1, 1, 2, 1, 1},
        {4000, 6000, 0, 0, 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(picdll::ChooseJpegReduction(c.width, c.height, c.min_width, c.min_height), c.expected)
            << c.width << "x" << c.height << " to " << c.min_width << "x" << c.min_height;
}

// Files that hold the same coefficients in other codings (jpegtran changes no term) must
// decode to the same pixels at every reduction, whatever the picture's size.
TEST(JpegReduced, EveryCodingOfTheSameTermsGivesTheSamePixels)
{
    if (!jpeg_test::HaveProgram("jpegtran") || !jpeg_test::HaveProgram("cjpeg")) GTEST_SKIP() << "jpegtran needed";
    jpeg_test::TempDir dir;
    std::vector<Source> originals = MadeFiles(dir, 1001, 667);
    if (jpeg_test::HaveCorpus())
        for (const char* name : {"jpeg/ljt/testorig.jpg", "jpeg/orientation/Landscape_6.jpg"})
            originals.push_back({name, jpeg_test::ReadFile(jpeg_test::CorpusPath(name))});
    ASSERT_GT(originals.size(), 10u);
    // Components in scans of their own, sequential: decoded through the stored terms.
    const std::string apart = dir.Path("apart.txt");
    FILE* script = std::fopen(apart.c_str(), "w");
    ASSERT_NE(script, nullptr);
    std::fputs("0: 0 63 0 0;\n1: 0 63 0 0;\n2: 0 63 0 0;\n", script);
    std::fclose(script);
    const std::string recodings[] = {"-progressive", "-progressive -restart 2B", "-restart 1", "-optimize",
                                     "-scans " + apart};
    for (const Source& s : originals) {
        if (s.name.find("cut") != std::string::npos) continue;
        SCOPED_TRACE(s.name);
        const std::string in = dir.Path("in.jpg"), out = dir.Path("out.jpg");
        ASSERT_TRUE(WriteFile(in, s.file));
        const bool three = s.name.find("grey") == std::string::npos && s.name.find("cmyk") == std::string::npos &&
                           s.name.find("ycck") == std::string::npos;
        const jpeg_test::Decoded full = jpeg_test::Decode(s.file);
        ASSERT_EQ(full.status, DecodeStatus::Ok);
        std::vector<Reduced> firsts;
        for (int d : {2, 4, 8})
            firsts.push_back(DecodeReduced(s.file, (full.image.width + d - 1) / d, (full.image.height + d - 1) / d));
        for (const std::string& options : recodings) {
            if (!three && options.find("-scans") != std::string::npos) continue;  // the script names three
            ASSERT_TRUE(jpeg_test::Run("jpegtran -copy all " + options + " -outfile " + out + " " + in));
            const std::vector<uint8_t> recoded = jpeg_test::ReadFile(out);
            for (const Reduced& first : firsts) {
                ASSERT_EQ(first.status, DecodeStatus::Ok);
                const Reduced again = DecodeReduced(recoded, first.image.width, first.image.height);
                EXPECT_EQ(again.reduction, first.reduction) << options;
                EXPECT_TRUE(again.image.pixels == first.image.pixels) << options << " 1/" << first.reduction;
            }
        }
    }
}

// Floors a little under the worst measured. Most photos score 40-57 dB; the loss left is
// where detail is about as fine as the fitted grid (sand, elephant skin: 30-37 dB at 1/4
// and 1/8 fitted to 3/4 or more), since a fitted pixel's edge then falls inside a reduced
// pixel, whose parts can no longer be told apart; at 65 % every photo scores 38.4 dB or
// more. A reduced picture kept at its size is still smoothed as the full one would have
// been; unsmoothed it scored 21 dB (made) and 33 dB (photos) at 1/2. The made photo and the
// corpus photos are held to the same floors; the made picture with hard edges to floors of its
// own. At the fitted sizes its one-pixel lines and its colour steps each cost about as much
// (37-40 dB alone, 34 together): the few terms kept ring at a step, and a line's place within
// a reduced pixel is lost. Its two-pixel checkerboard costs most at the reduced size (31-33 dB).
constexpr Floors kSharpFloors = {{28, 28, 28}, {26, 26, 27}};
constexpr Floors kPhotoFloors = {{42, 38, 38}, {39, 33, 29}};

TEST(JpegReduced, MadePicturesLookAsFullDecodeFitted)
{
    if (!jpeg_test::HaveProgram("cjpeg") || !jpeg_test::HaveReference()) GTEST_SKIP() << "cjpeg and libjpeg needed";
    jpeg_test::TempDir dir;
    std::vector<Source> files = MadeFiles(dir, 1000, 664);
    if (jpeg_test::HaveCorpus())
        for (const char* name : {"jpeg/orientation/Landscape_6.jpg", "jpeg/orientation/Portrait_3.jpg"})
            files.push_back({name, jpeg_test::ReadFile(jpeg_test::CorpusPath(name))});
    const auto photos = std::stable_partition(files.begin(), files.end(),
                                              [](const Source& s) { return s.name.rfind("sharp", 0) == 0; });
    CheckAgainstFullDecode({files.begin(), photos}, kSharpFloors);
    CheckAgainstFullDecode({photos, files.end()}, kPhotoFloors);
}

TEST(JpegReduced, RealPhotosLookAsFullDecodeFitted)
{
    const std::vector<Source> photos = RealPhotos();
    if (photos.empty()) GTEST_SKIP() << "no photos in ~/.cache/velmora-photos (scripts/bench.sh fetches them)";
    CheckAgainstFullDecode(photos, kPhotoFloors);
}

// djpeg's own reduced decoding of the same files: its figures, and a floor below what its
// other transform explains. It takes each reduced pixel as the mean of the pixels it stands
// for, which keeps detail that this decoder leaves out as too fine for the reduced grid (a
// two-pixel checkerboard at 1/2: 23-25 dB on the made picture with hard edges); at 1/8
// both take the DC term and agree to the bit where no upsampling differs.
TEST(JpegReduced, CloseToDjpegScale)
{
    if (!jpeg_test::HaveProgram("djpeg") || !jpeg_test::HaveProgram("cjpeg") || !jpeg_test::HaveReference())
        GTEST_SKIP() << "djpeg, cjpeg and libjpeg needed";
    jpeg_test::TempDir dir;
    std::vector<Source> sources = MadeFiles(dir, 1000, 664), photos = RealPhotos();
    sources.insert(sources.end(), photos.begin(), photos.end());
    for (const Source& s : sources) {
        if (s.name.find("cut") != std::string::npos || s.name.find("cmyk") != std::string::npos ||
            s.name.find("ycck") != std::string::npos)
            continue;  // djpeg smooths differently, or leaves CMYK as it is
        SCOPED_TRACE(s.name);
        const std::string jpg = dir.Path("in.jpg"), ppm = dir.Path("out.ppm");
        ASSERT_TRUE(WriteFile(jpg, s.file));
        for (int d : {2, 4, 8}) {
            ASSERT_TRUE(jpeg_test::Run("djpeg -rgb -scale 1/" + std::to_string(d) + " -outfile " + ppm + " " + jpg));
            Rgb theirs;
            ASSERT_TRUE(jpeg_test::ReadPpm(ppm, theirs));
            const Reduced ours = DecodeReduced(s.file, theirs.width, theirs.height);
            ASSERT_EQ(ours.status, DecodeStatus::Ok);
            ASSERT_EQ(ours.image.width, theirs.width) << "1/" << d;
            ASSERT_EQ(ours.image.height, theirs.height) << "1/" << d;
            const double psnr = jpeg_test::Psnr(ours.image, theirs);
            std::printf("  djpeg %-28s 1/%d %5.1f dB\n", s.name.c_str(), d, psnr);
            EXPECT_GE(psnr, 22.0) << "1/" << d;
        }
    }
}

}  // namespace
