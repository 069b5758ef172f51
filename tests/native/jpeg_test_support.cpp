#include "tests/native/jpeg_test_support.h"

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#if VELMORA_HAVE_LIBJPEG
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#endif

namespace jpeg_test {

uint8_t* MemoryTarget::Allocate(int w, int h)
{
    ++allocations;
    if (refuse_allocation) return nullptr;
    image.width = w;
    image.height = h;
    image.pixels.assign(size_t(w) * h * 3, 0);
    return image.pixels.data();
}

bool MemoryTarget::KeepGoing()
{
    ++keep_going_calls;
    return stop_after < 0 || keep_going_calls < stop_after;
}

Decoded Decode(const std::vector<uint8_t>& file)
{
    MemoryTarget target;
    Decoded d;
    d.status = picdll::DecodeJpeg(file.data(), file.size(), target, &d.why);
    d.image = std::move(target.image);
    return d;
}

namespace {

uint8_t Scale(int a, int b)
{
    int t = a * b + 128;
    return uint8_t((t + (t >> 8)) >> 8);
}

}  // namespace

#if VELMORA_HAVE_LIBJPEG

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1); }
void Quietly(j_common_ptr, int) {}

}  // namespace

bool HaveReference() { return true; }

bool ReferenceDecode(const std::vector<uint8_t>& file, Rgb& out)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    err.base.emit_message = Quietly;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    bool cmyk = cinfo.num_components == 4;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out.width = int(cinfo.output_width);
    out.height = int(cinfo.output_height);
    out.pixels.assign(size_t(out.width) * out.height * 3, 0);
    // Row memory from libjpeg's own pool, so that an error jump leaks nothing.
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * cinfo.output_components, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        uint8_t* dst = &out.pixels[size_t(cinfo.output_scanline) * out.width * 3];
        jpeg_read_scanlines(&cinfo, row, 1);
        for (int x = 0; x < out.width; ++x) {
            const uint8_t* s = row[0] + x * cinfo.output_components;
            for (int i = 0; i < 3; ++i) dst[3 * x + i] = cmyk ? Scale(s[i], s[3]) : s[i];
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool EncodeWithLibjpeg(const Rgb& rgb, const EncodeOptions& options, std::vector<uint8_t>& out)
{
    bool ink = options.ink != EncodeOptions::Ink::None;
    std::vector<uint8_t> samples = rgb.pixels;
    if (ink) {
        // Inverted ink: K is the brightest channel, C, M, Y what is left of each.
        samples.assign(size_t(rgb.width) * rgb.height * 4, 0);
        for (size_t i = 0; i < size_t(rgb.width) * rgb.height; ++i) {
            const uint8_t* p = &rgb.pixels[3 * i];
            int k = std::max({p[0], p[1], p[2]});
            for (int c = 0; c < 3; ++c)
                samples[4 * i + c] = uint8_t(k ? std::min(255, (p[c] * 255 + k / 2) / k) : 255);
            samples[4 * i + 3] = uint8_t(k);
        }
    }
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(rgb.width);
    cinfo.image_height = JDIMENSION(rgb.height);
    cinfo.input_components = ink ? 4 : 3;
    cinfo.in_color_space = ink ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    if (ink)  // writes the Adobe marker
        jpeg_set_colorspace(&cinfo, options.ink == EncodeOptions::Ink::Ycck ? JCS_YCCK : JCS_CMYK);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.progressive) jpeg_simple_progression(&cinfo);
    // component count and indices, Ss, Se, Ah, Al
    static const jpeg_scan_info kApart[] = {
        {1, {0}, 0, 0, 0, 1}, {1, {1}, 0, 0, 0, 1},    {1, {2}, 0, 0, 0, 1},  {1, {0}, 1, 5, 0, 2},
        {3, {0, 1, 2}, 0, 0, 1, 0}, {1, {1}, 1, 63, 0, 0}, {1, {2}, 1, 63, 0, 0}, {1, {0}, 1, 5, 2, 1},
        {1, {0}, 1, 5, 1, 0}, {1, {0}, 6, 63, 0, 0}};
    if (options.scans_apart) {
        cinfo.scan_info = kApart;
        cinfo.num_scans = int(sizeof kApart / sizeof *kApart);
    }
    cinfo.restart_in_rows = options.restart_rows;
    jpeg_start_compress(&cinfo, TRUE);
    size_t stride = size_t(rgb.width) * cinfo.input_components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &samples[cinfo.next_scanline * stride];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    out.assign(buffer, buffer + size);
    std::free(buffer);
    return true;
}

#else

bool HaveReference() { return false; }
bool ReferenceDecode(const std::vector<uint8_t>&, Rgb&) { return false; }
bool EncodeWithLibjpeg(const Rgb&, const EncodeOptions&, std::vector<uint8_t>&) { return false; }

#endif

double Psnr(const Rgb& a, const Rgb& b)
{
    if (a.pixels.size() != b.pixels.size() || a.pixels.empty()) return 0;
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        double d = double(a.pixels[i]) - b.pixels[i];
        sum += d * d;
    }
    if (sum == 0) return 99;
    return 10 * std::log10(255.0 * 255.0 * a.pixels.size() / sum);
}

int MaxDifference(const Rgb& a, const Rgb& b)
{
    if (a.pixels.size() != b.pixels.size()) return 256;
    int worst = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) worst = std::max(worst, std::abs(a.pixels[i] - b.pixels[i]));
    return worst;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

bool HaveProgram(const std::string& name)
{
    if (name == "convert")  // only ImageMagick's will do, not a stand-in of the same name
        return Run("convert -version 2>/dev/null | grep -q ImageMagick");
    return Run("command -v " + name + " >/dev/null 2>&1");
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora_jpeg_XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string CorpusPath(const std::string& relative) { return std::string(VELMORA_CORPUS_DIR) + "/" + relative; }

bool HaveCorpus() { return std::filesystem::is_directory(CorpusPath("jpeg")); }

}  // namespace jpeg_test
