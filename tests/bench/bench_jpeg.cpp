// Times our JPEG decoder against djpeg (libjpeg-turbo) on the same files and prints the
// figures; it never fails on time.
//
//   bench_jpeg [file.jpg ...]   (no files: a 24-megapixel baseline and progressive
//                                picture are made with cjpeg in a temporary folder)
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "picdll/decode.h"
#include "picdll/imaging.h"
#include "picdll/jpeg/colour.h"
#include "picdll/jpeg/headers.h"
#include "picdll/jpeg/idct.h"
#include "picdll/jpeg/upsample.h"
#include "pictures/fit.h"
#include "tests/native/jpeg_synthetic.h"

namespace {

using Clock = std::chrono::steady_clock;
// Best of five: on a shared machine single runs vary by 10 % or more.
constexpr int kRuns = 5;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// This thread's CPU time: on a shared machine it varies far less than the wall clock.
double CpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + 1e-9 * ts.tv_nsec;
}

// The high-water mark of this process's resident memory, in KiB. (getrusage would also
// count what the process held before exec, i.e. a copy of its parent.)
long PeakResidentKib()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atol(line + 6);
    std::fclose(f);
    return kib;
}

// Runs this program in one of its measuring modes and returns the number it prints.
long MeasureInChild(const std::string& self, const char* mode, const std::string& path)
{
    std::string command = "'" + self + "' " + mode + " '" + path + "'";
    FILE* p = popen(command.c_str(), "r");
    if (!p) return -1;
    long value = -1;
    if (std::fscanf(p, "%ld", &value) != 1) value = -1;
    return pclose(p) == 0 ? value : -1;
}

class BufferTarget : public picdll::DecodeTarget {
public:
    uint8_t* Allocate(int w, int h) override
    {
        width = w;
        height = h;
        pixels.resize(size_t(w) * h * 3);
        return pixels.data();
    }
    bool KeepGoing() override { return true; }
    std::vector<uint8_t> pixels;
    int width = 0, height = 0;
};

struct ChildRun {
    bool ok = false;
    double wall = 0, cpu = 0;  // seconds
    long max_rss_kib = 0;
};

// Runs a program to completion, measuring it from the outside.
ChildRun RunChild(const std::vector<std::string>& argv)
{
    ChildRun run;
    auto start = Clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) return run;
    run.wall = Seconds(start);
    run.cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
              1e-6 * (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    run.max_rss_kib = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

ChildRun BestOf(const std::vector<std::string>& argv)
{
    ChildRun best;
    for (int i = 0; i < kRuns; ++i) {
        ChildRun r = RunChild(argv);
        if (!r.ok) return r;
        if (!best.ok || r.cpu < best.cpu) best = r;
    }
    return best;
}

// Rough shares of the work, from the parts timed alone on the same amount of data.
void PrintBreakdown(const std::vector<uint8_t>& data, double total)
{
    picdll::jpeg::StreamTables tables;
    picdll::jpeg::HeaderReader headers(data.data(), data.size());
    picdll::jpeg::ScanHeader scan;
    std::string why;
    if (headers.NextScan(tables, scan, why, false) == picdll::jpeg::HeaderResult::Failed) return;
    const picdll::jpeg::Frame& f = tables.frame;
    long blocks = 0;
    for (int c = 0; c < f.component_count; ++c)
        blocks += long(f.components[c].blocks_wide) * f.components[c].blocks_high;

    alignas(16) int16_t coef[64];
    uint32_t state = 7;
    for (int16_t& v : coef) v = int16_t((state = state * 1664525u + 1013904223u) >> 26) - 32;
    std::vector<uint8_t> out(64);
    double start = CpuSeconds();
    for (long b = 0; b < blocks; ++b) picdll::jpeg::InverseDct(coef, out.data(), 8);
    double idct = CpuSeconds() - start;

    std::vector<uint8_t> y(size_t(f.width), 90), cb(size_t(f.width) / 2 + 2, 100),
        cr(size_t(f.width) / 2 + 2, 150), ucb(size_t(f.width) + 4), ucr(size_t(f.width) + 4),
        rgb(size_t(f.width) * 3);
    int chroma_width = (f.width + 1) / 2;
    start = CpuSeconds();
    for (int row = 0; row < f.height; ++row) {
        picdll::jpeg::UpsampleH2V2Fancy(cb.data(), cb.data(), chroma_width, ucb.data());
        picdll::jpeg::UpsampleH2V2Fancy(cr.data(), cr.data(), chroma_width, ucr.data());
        picdll::jpeg::YCbCrToRgb(y.data(), ucb.data(), ucr.data(), rgb.data(), f.width);
    }
    double colour = CpuSeconds() - start;
    std::printf("    where the time goes (parts timed alone): IDCT <= %.0f ms (%ld blocks, all "
                "treated as full), upsampling + colour ~ %.0f ms (2x2 chroma), the rest "
                "(Huffman, block bookkeeping) ~ %.0f ms\n",
                1e3 * idct, blocks, 1e3 * colour, 1e3 * std::max(0.0, total - idct - colour));
}

// The least CPU time of kRuns runs of `work`.
template <class Work>
double BestCpu(Work work)
{
    double best = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        const double start = CpuSeconds();
        work();
        best = std::min(best, CpuSeconds() - start);
    }
    return best;
}

void Bench(const std::string& self, const std::string& path)
{
    std::vector<uint8_t> data = jpeg_test::ReadFile(path);
    std::printf("%s (%.1f MB)\n", path.c_str(), data.size() / 1e6);
    double best = 1e9, best_cpu = 1e9;
    BufferTarget target;
    for (int i = 0; i < kRuns; ++i) {
        auto start = Clock::now();
        double cpu_start = CpuSeconds();
        std::string why;
        picdll::DecodeStatus status = picdll::DecodeJpeg(data.data(), data.size(), target, &why);
        best = std::min(best, Seconds(start));
        best_cpu = std::min(best_cpu, CpuSeconds() - cpu_start);
        if (status != picdll::DecodeStatus::Ok) {
            std::printf("  ours: decode failed: %s\n", why.c_str());
            return;
        }
    }
    double megapixels = target.pixels.size() / 3 / 1e6;
    ChildRun djpeg = BestOf({"djpeg", "-outfile", "/dev/null", path});
    std::printf("  ours : %7.1f ms wall, %7.1f ms CPU  (%.0f Mpixel/s)\n", 1e3 * best,
                1e3 * best_cpu, megapixels / best_cpu);
    if (djpeg.ok)
        std::printf("  djpeg: %7.1f ms wall, %7.1f ms CPU  (whole process, PPM to /dev/null)\n"
                    "  ours / djpeg: %.2f by CPU time, %.2f by wall time\n",
                    1e3 * djpeg.wall, 1e3 * djpeg.cpu, best_cpu / djpeg.cpu, best / djpeg.wall);
    else
        std::printf("  djpeg: not run\n");
    auto of_djpeg = [&](double cpu) {
        return djpeg.ok ? "  = " + std::to_string(int(cpu / djpeg.cpu * 100 + 0.5)) + " % of djpeg" : std::string();
    };
    // The saver's whole job for a picture: decode, then fit to the screen; before, from the
    // full picture, and now, from the picture decoded reduced where the fit allows.
    for (auto [areaWidth, areaHeight] : {std::pair{1920, 1080}, std::pair{1024, 768}, std::pair{480, 360}}) {
        const FittedSize fit = FitToArea(target.width, target.height, areaWidth, areaHeight,
                                         float(areaWidth) / float(areaHeight), true, true);
        std::vector<uint8_t> fitted(size_t(fit.width) * fit.height * 3);
        const double best_fit = BestCpu([&] {
            picdll::ResizeRGB(target.pixels.data(), target.width, target.height, fitted.data(), fit.width, fit.height);
        });
        std::printf("  full decode + fit to %dx%d: %7.1f ms CPU (fit %.1f ms)%s\n", fit.width, fit.height,
                    1e3 * (best_cpu + best_fit), 1e3 * best_fit, of_djpeg(best_cpu + best_fit).c_str());
        const int d = FitReduction(fit, target.width, target.height);
        if (d == 1) continue;
        BufferTarget reduced;
        int reduction = 0;
        const double reduced_cpu = BestCpu([&] {
            picdll::DecodeJpegReduced(data.data(), data.size(), target.width / d, target.height / d, reduced, reduction);
        });
        const double reduced_fit = BestCpu([&] {
            picdll::ResizeRGB(reduced.pixels.data(), reduced.width, reduced.height, fitted.data(), fit.width, fit.height,
                              reduction);
        });
        std::printf("  1/%d decode (%dx%d) + fit:   %7.1f ms CPU (decode %.1f, fit %.1f ms)%s\n", reduction,
                    reduced.width, reduced.height, 1e3 * (reduced_cpu + reduced_fit), 1e3 * reduced_cpu,
                    1e3 * reduced_fit, of_djpeg(reduced_cpu + reduced_fit).c_str());
    }
    long decoded = MeasureInChild(self, "--decode-once", path);
    long read = MeasureInChild(self, "--read-once", path);
    long djpeg_kib = MeasureInChild(self, "--djpeg-memory", path);
    if (decoded > 0 && read > 0)
        std::printf("  peak memory: ours %ld MiB = file and process %ld MiB + picture %.0f MiB + "
                    "decoder %.1f MiB; djpeg %ld MiB\n",
                    decoded / 1024, read / 1024, target.pixels.size() / 1048576.0,
                    (decoded - read - double(target.pixels.size()) / 1024) / 1024, djpeg_kib / 1024);
    // A picture change on a 1920x1080 screen: the decoded picture and the fitted one, before
    // and now.
    long full_change = MeasureInChild(self, "--change-full", path);
    long reduced_change = MeasureInChild(self, "--change-reduced", path);
    if (full_change > 0 && reduced_change > 0 && read > 0)
        std::printf("  peak memory of a picture change to 1920x1080 beyond file and process: full decode "
                    "%.1f MiB, reduced %.1f MiB (%.0f %%)\n",
                    (full_change - read) / 1024.0, (reduced_change - read) / 1024.0,
                    100.0 * (reduced_change - read) / std::max(1L, full_change - read));
    PrintBreakdown(data, best_cpu);
}

// Child modes for the memory figures; each prints a peak in KiB.
int MeasureMode(const std::string& mode, const std::string& path)
{
    if (mode == "--djpeg-memory") {
        ChildRun run = RunChild({"djpeg", "-outfile", "/dev/null", path});
        std::printf("%ld\n", run.max_rss_kib);
        return run.ok ? 0 : 1;
    }
    std::vector<uint8_t> data = jpeg_test::ReadFile(path);
    if (mode == "--decode-once") {
        BufferTarget target;
        if (picdll::DecodeJpeg(data.data(), data.size(), target) != picdll::DecodeStatus::Ok) return 1;
    }
    if (mode == "--change-full" || mode == "--change-reduced") {
        picdll::Dimensions dims;
        if (!picdll::JpegDimensions(data.data(), data.size(), dims)) return 1;
        const FittedSize fit = FitToArea(dims.width, dims.height, 1920, 1080, 1920.0f / 1080.0f, true, true);
        const int d = mode == "--change-full" ? 1 : FitReduction(fit, dims.width, dims.height);
        BufferTarget target;
        int reduction = 0;
        if (picdll::DecodeJpegReduced(data.data(), data.size(), dims.width / d, dims.height / d, target, reduction) !=
            picdll::DecodeStatus::Ok)
            return 1;
        std::vector<uint8_t> fitted(size_t(fit.width) * fit.height * 3);
        picdll::ResizeRGB(target.pixels.data(), target.width, target.height, fitted.data(), fit.width, fit.height);
    }
    std::printf("%ld\n", PeakResidentKib());
    return data.empty();
}

std::vector<std::string> MakePictures(const std::string& dir)
{
    std::string ppm = dir + "/photo24.ppm";
    if (!jpeg_test::WritePpm(ppm, jpeg_test::SyntheticPhoto(6000, 4000))) return {};
    std::vector<std::string> files;
    struct {
        const char* name;
        std::vector<std::string> options;
    } kinds[] = {{"baseline24.jpg", {"-quality", "90"}},
                 {"progressive24.jpg", {"-quality", "90", "-progressive"}}};
    for (auto& kind : kinds) {
        std::string out = dir + "/" + kind.name;
        std::vector<std::string> argv = {"cjpeg"};
        argv.insert(argv.end(), kind.options.begin(), kind.options.end());
        argv.insert(argv.end(), {"-outfile", out, ppm});
        if (RunChild(argv).ok) files.push_back(out);
    }
    std::remove(ppm.c_str());
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strncmp(argv[1], "--", 2) == 0) return MeasureMode(argv[1], argv[2]);

    std::vector<std::string> files(argv + 1, argv + argc);
    std::string dir;
    if (files.empty()) {
        char pattern[] = "/tmp/bench_jpeg_XXXXXX";
        if (!mkdtemp(pattern)) return 1;
        dir = pattern;
        files = MakePictures(dir);
        if (files.empty()) std::printf("cjpeg is needed to make the test pictures\n");
    }
    std::string self = argv[0];
    for (const std::string& f : files) Bench(self, f);
    for (const std::string& f : files)
        if (!dir.empty()) std::remove(f.c_str());
    if (!dir.empty()) rmdir(dir.c_str());
    return 0;
}
