// Peak memory and whole-decode time: this PNG decoder (built-in inflater,
// and with zlib) against libpng's simplified reader on 2048 x 2048 pictures.
// Each decode runs in a fresh child process, which reports how far its
// resident memory rose above what it held before (the file's bytes already
// in memory) and the user + system time the decode took.
#include <malloc.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "codecs/bench/libpng_images.h"
#include "codecs/cPNGparser.h"
#include "codecs/modParsers.h"
#include "imagecore/c32bppDIB.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kSize = 2048;

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    return -1;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](timeval t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Measure {
    double peakMiB = -1;
    double seconds = -1;
};

// Runs decode in a child; its peak resident memory above the start, and time.
Measure InChild(const std::function<void()>& decode) {
    malloc_trim(0);  // freed heap memory would otherwise be reused unseen
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return {};
    pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
        long before = StatusKilobytes("VmRSS:");
        double start = CpuSeconds();
        decode();
        Measure m{(StatusKilobytes("VmHWM:") - before) / 1024.0, CpuSeconds() - start};
        ssize_t written = write(pipeEnds[1], &m, sizeof m);
        _exit(written == sizeof m ? 0 : 1);
    }
    close(pipeEnds[1]);
    Measure m;
    if (read(pipeEnds[0], &m, sizeof m) != sizeof m) m = {};
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
    return m;
}

Measure Best(const std::function<void()>& decode, int runs = 5) {
    Measure best = InChild(decode);
    for (int i = 1; i < runs; ++i) {
        Measure m = InChild(decode);
        if (m.seconds >= 0 && m.seconds < best.seconds) best.seconds = m.seconds;
        if (m.peakMiB >= 0 && m.peakMiB < best.peakMiB) best.peakMiB = m.peakMiB;
    }
    return best;
}

void Own(const Bytes& png, bool withZlib) {
    modParsers::SetZlibDisabled(!withZlib);
    c32bppDIB dib;
    cPNGparser().LoadStream(png, dib, 0, static_cast<int64_t>(png.size()), 0);
    if (dib.Width() != kSize) std::fprintf(stderr, "own decode failed\n");
}

void Libpng(const Bytes& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, png.data(), png.size());
    image.format = PNG_FORMAT_BGRA;
    Bytes out(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, out.data(), 0, nullptr);
    png_image_free(&image);
}

}  // namespace

int main() {
    struct Case {
        const char* name;
        int colourType;
        int channels;
        bool interlaced;
    };
    const Case cases[] = {{"photo rgba", PNG_COLOR_TYPE_RGBA, 4, false},
                          {"photo rgb", PNG_COLOR_TYPE_RGB, 3, false},
                          {"photo rgba adam7", PNG_COLOR_TYPE_RGBA, 4, true}};
    const double imageMiB = 4.0 * kSize * kSize / (1024 * 1024);
    std::printf("2048 x 2048, best of 5 fresh processes; the 32-bit image itself is %.0f MiB\n", imageMiB);
    std::printf("%-18s %9s | %24s | %9s | %24s | %16s\n", "", "file MiB", "peak MiB: own/zlib/libpng", "goal MiB",
                "cpu ms: own/zlib/libpng", "own / libpng");
    for (const Case& c : cases) {
        Bytes png = bench_images::EncodeWithLibpng(kSize, c.colourType, c.channels, true, c.interlaced);
        Measure own = Best([&] { Own(png, false); });
        Measure zlib = Best([&] { Own(png, true); });
        Measure libpng = Best([&] { Libpng(png); });
        const double fileMiB = png.size() / 1048576.0;
        std::printf("%-18s %9.1f | %7.1f %7.1f %8.1f | %9.1f | %7.1f %7.1f %8.1f | mem %4.2f time %4.2f\n", c.name,
                    fileMiB, own.peakMiB, zlib.peakMiB, libpng.peakMiB, imageMiB + 2 + fileMiB, own.seconds * 1e3,
                    zlib.seconds * 1e3, libpng.seconds * 1e3, own.peakMiB / libpng.peakMiB,
                    own.seconds / libpng.seconds);
    }
    // The decoder copies the image data out of the file's chunks: that copy is
    // the file in the goal.
    std::printf("goal with the built-in inflater: peak at most the image + 2 MiB + the file, time at most 0.7\n");
    return 0;
}
