// Decoding speed and peak memory on real PNG files (the list that
// scripts/fetch-real-pngs writes): Mendlow's decoder against libpng, libspng
// and stb_image, each to 8-bit RGBA with straight alpha from a file in
// memory, with the checksums checked and not. Generated images (the other
// benchmarks) miss what real files do: small icons, palettes with tRNS,
// 16-bit samples, big flat screenshots.
//   png_real_files_bench LIST [--runs N]
// Each time is the best of N samples (15 by default), taken in N passes over
// all files with the decoders taking turns, so that a busy moment on the
// machine hits them alike; a sample repeats the decode until it lasts a few
// milliseconds.
#include <malloc.h>
#include <png.h>
#include <spng.h>
#include <sys/wait.h>
#include <unistd.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <mendlow/image_codecs.h>

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

struct File {
    std::string group;  // background, screenshot, icon-large, icon-small
    std::string path;
    std::string name;  // the last two parts of the path
    Bytes bytes;
    uint32_t width = 0;
    uint32_t height = 0;
    std::string kind;  // RGBA8, P4+tRNS, ...
    size_t OutputSize() const { return size_t{width} * height * 4; }
};

uint32_t BigEndian32(const uint8_t* p) { return uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// Size and colour type from IHDR, and whether tRNS comes before the image data.
bool ReadHeader(File& file) {
    const Bytes& b = file.bytes;
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (b.size() < 33 || std::memcmp(b.data(), kSignature, 8) != 0 || std::memcmp(&b[12], "IHDR", 4) != 0)
        return false;
    file.width = BigEndian32(&b[16]);
    file.height = BigEndian32(&b[20]);
    int depth = b[24], colourType = b[25], interlace = b[28];
    const char* names[] = {"G", "?", "RGB", "P", "GA", "?", "RGBA"};
    file.kind = std::string(colourType <= 6 ? names[colourType] : "?") + std::to_string(depth);
    for (size_t at = 8; at + 12 <= b.size();) {
        uint32_t length = BigEndian32(&b[at]);
        if (std::memcmp(&b[at + 4], "IDAT", 4) == 0) break;
        if (std::memcmp(&b[at + 4], "tRNS", 4) == 0) file.kind += "+tRNS";
        if (length > b.size() - at - 12) break;
        at += 12 + size_t{length};
    }
    if (interlace) file.kind += " Adam7";
    return file.width > 0 && file.height > 0;
}

// --- The decoders: each writes width x height x 4 bytes to out. -------------

struct MemoryReader {
    const uint8_t* at;
    size_t left;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->left) png_error(png, "file ends early");
    std::memcpy(out, reader->at, count);
    reader->at += count;
    reader->left -= count;
}

char lastLibpngError[200];
void LibpngError(png_structp png, png_const_charp message) {
    std::snprintf(lastLibpngError, sizeof lastLibpngError, "%s", message);  // may live in png's buffer
    png_longjmp(png, 1);
}
void LibpngWarning(png_structp, png_const_charp) {}  // iCCP complaints and the like, not the decode's

// The ordinary read API with the transforms that make any PNG RGBA8.
bool DecodeLibpng(const File& file, uint8_t* out, bool checks) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, LibpngError, LibpngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    // Made before setjmp: nothing below it may need a destructor skipped by longjmp.
    std::unique_ptr<png_bytep[]> rows(new png_bytep[file.height]);
    for (uint32_t y = 0; y < file.height; ++y) rows[y] = out + size_t{y} * file.width * 4;
    MemoryReader reader{file.bytes.data(), file.bytes.size()};
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    if (!checks) {
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_tRNS_to_alpha(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_image_width(png, info) != file.width || png_get_image_height(png, info) != file.height ||
        png_get_rowbytes(png, info) != size_t{file.width} * 4)
        png_error(png, "not RGBA8 after the transforms");
    png_read_image(png, rows.get());
    png_read_end(png, info);  // the chunks after the image data, with their CRCs
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool DecodeSpng(const File& file, uint8_t* out, bool checks) {
    spng_ctx* ctx = spng_ctx_new(0);
    if (!ctx) return false;
    // Since libspng 0.6.2 this also skips the Adler-32 of the image data.
    if (!checks) spng_set_crc_action(ctx, SPNG_CRC_USE, SPNG_CRC_USE);
    size_t size = 0;
    int error = spng_set_png_buffer(ctx, file.bytes.data(), file.bytes.size());
    if (!error) error = spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size);
    if (!error && size != file.OutputSize()) error = SPNG_EINTERNAL;
    if (!error) error = spng_decode_image(ctx, out, size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS);
    spng_ctx_free(ctx);
    return error == 0;
}

// stb_image allocates its own output; it is copied out only when kept.
bool DecodeStb(const File& file, uint8_t* out, bool keep) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(file.bytes.data(), static_cast<int>(file.bytes.size()), &width,
                                            &height, &channels, 4);
    if (!pixels) return false;
    bool same = uint32_t(width) == file.width && uint32_t(height) == file.height;
    if (same && keep) std::memcpy(out, pixels, file.OutputSize());
    stbi_image_free(pixels);
    return same;
}

bool DecodeMendlow(const File& file, uint8_t* out, bool checks) {
    mendlow::DecodeOptions options;  // RGBA, straight, top-down
    options.checkChecksums = checks;
    return mendlow::DecodeImage(file.bytes.data(), file.bytes.size(), options, out, file.OutputSize(),
                                size_t{file.width} * 4)
        .status == mendlow::DecodeStatus::Ok;
}

struct Decoder {
    const char* name;
    bool checks;  // stb_image checks nothing either way
    bool (*decode)(const File&, uint8_t*, bool checks);
};

// The order of the table's columns.
enum { kLibpng, kSpng, kStb, kMendlow, kLibpngOff, kSpngOff, kMendlowOff, kDecoders };
const Decoder kDecoderList[kDecoders] = {
    {"libpng", true, DecodeLibpng},        {"libspng", true, DecodeSpng},
    {"stb_image", false, nullptr},         {"mendlow", true, DecodeMendlow},
    {"libpng", false, DecodeLibpng},       {"libspng", false, DecodeSpng},
    {"mendlow", false, DecodeMendlow},
};

bool Decode(int decoder, const File& file, uint8_t* out, bool keep = false) {
    if (decoder == kStb) return DecodeStb(file, out, keep);
    return kDecoderList[decoder].decode(file, out, kDecoderList[decoder].checks);
}

std::string Label(int decoder) {
    const Decoder& d = kDecoderList[decoder];
    return std::string(d.name) + (decoder == kStb ? "" : d.checks ? " (checks on)" : " (checks off)");
}

// --- Output check -----------------------------------------------------------

// Compares a decoder's output with libspng's; prints the first difference.
bool SameAsSpng(const File& file, int decoder, const Bytes& output, const Bytes& reference) {
    if (output == reference) return true;
    size_t first = 0;
    while (output[first] == reference[first]) ++first;
    size_t differing = 0;
    for (size_t i = 0; i < output.size(); ++i) differing += output[i] != reference[i];
    size_t pixel = first / 4;
    const uint8_t* a = &output[pixel * 4];
    const uint8_t* b = &reference[pixel * 4];
    std::printf("  DIFFERS: %s, %s: %zu of %zu bytes; first at pixel (%zu, %zu): %u %u %u %u, libspng %u %u %u %u\n",
                file.path.c_str(), Label(decoder).c_str(), differing, output.size(), pixel % file.width,
                pixel / file.width, a[0], a[1], a[2], a[3], b[0], b[1], b[2], b[3]);
    return false;
}

// Decodes with each decoder into a buffer filled with a pattern, so that bytes
// left unwritten count as different too. False when libspng fails.
bool CheckOutputs(const File& file, bool (&works)[kDecoders], int& mendlowMismatches, int& otherMismatches) {
    Bytes reference(file.OutputSize(), 0xa5);
    if (!Decode(kSpng, file, reference.data())) {
        std::printf("  %s: libspng fails; file left out\n", file.path.c_str());
        return false;
    }
    for (int d = 0; d < kDecoders; ++d) {
        Bytes output(file.OutputSize(), 0xa5);
        works[d] = Decode(d, file, output.data(), true);
        if (!works[d]) {
            std::printf("  %s: %s fails%s\n", file.path.c_str(), Label(d).c_str(),
                        d == kLibpng || d == kLibpngOff ? (std::string(": ") + lastLibpngError).c_str() : "");
            continue;
        }
        if (!SameAsSpng(file, d, output, reference)) ++(d == kMendlow || d == kMendlowOff ? mendlowMismatches : otherMismatches);
    }
    return true;
}

// --- Timing -----------------------------------------------------------------

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Enough decodes a sample that the clock's resolution and the loop do not count.
int Repeats(const File& file, uint8_t* out) {
    auto start = Clock::now();
    Decode(kLibpng, file, out);
    double once = Seconds(Clock::now() - start);
    return std::clamp(static_cast<int>(std::ceil(0.005 / std::max(once, 1e-7))), 1, 100000);
}

// One sample of each decoder, lowering best (seconds per decode) where faster.
void Sample(const File& file, const std::array<bool, kDecoders>& works, int repeats, int run, uint8_t* out,
            std::array<double, kDecoders>& best) {
    for (int turn = 0; turn < kDecoders; ++turn) {
        int d = (turn + run) % kDecoders;  // no decoder always right after the same one
        if (!works[d]) continue;
        auto start = Clock::now();
        for (int i = 0; i < repeats; ++i) Decode(d, file, out);
        best[d] = std::min(best[d], Seconds(Clock::now() - start) / repeats);
    }
}

// --- Peak memory in a fresh process ------------------------------------------

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    return -1;
}

// MiB the resident memory rose above the start while decoding, output
// included (allocated in the child, as a caller would); -1 on failure.
double PeakMiB(int decoder, const File& file) {
    malloc_trim(0);  // free heap pages the child could reuse unseen
    int ends[2];
    if (pipe(ends) != 0) return -1;
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
        long before = StatusKilobytes("VmRSS:");
        bool ok;
        if (decoder == kStb) {
            ok = Decode(kStb, file, nullptr);
        } else {
            std::unique_ptr<uint8_t[]> out(new uint8_t[file.OutputSize()]);
            ok = Decode(decoder, file, out.get());
        }
        double mib = ok ? (StatusKilobytes("VmHWM:") - before) / 1024.0 : -1;
        ssize_t written = write(ends[1], &mib, sizeof mib);
        _exit(written == sizeof mib ? 0 : 1);
    }
    close(ends[1]);
    double mib = -1;
    if (child < 0 || read(ends[0], &mib, sizeof mib) != sizeof mib) mib = -1;
    close(ends[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    return mib;
}

// --- Report -------------------------------------------------------------------

double GeometricMean(const std::vector<double>& values) {
    if (values.empty()) return NAN;
    double sum = 0;
    for (double v : values) sum += std::log(v);
    return std::exp(sum / values.size());
}

// The path's last parts, as many as tell the files apart.
std::string ShortName(const std::string& path, int parts) {
    size_t start = path.size();
    for (int i = 0; i < parts && start != std::string::npos && start > 0; ++i) start = path.rfind('/', start - 1);
    std::string name = start == std::string::npos ? path : path.substr(start + 1);
    return name.size() > 34 ? "..." + name.substr(name.size() - 31) : name;
}

bool ReadList(const char* listPath, std::vector<File>& files) {
    std::ifstream list(listPath);
    if (!list) return false;
    std::string line;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        File file;
        file.group = line.substr(0, tab);
        file.path = line.substr(tab + 1);
        std::ifstream in(file.path, std::ios::binary);
        file.bytes.assign(std::istreambuf_iterator<char>(in), {});
        if (!in.good() && !in.eof()) file.bytes.clear();
        if (!ReadHeader(file)) {
            std::printf("  %s: not a PNG file that can be read; left out\n", file.path.c_str());
            continue;
        }
        files.push_back(std::move(file));
    }
    for (File& file : files) {
        int parts = 2;
        auto same = [&](const File& other) {
            return &other != &file && ShortName(other.path, parts) == ShortName(file.path, parts);
        };
        while (parts < 6 && std::any_of(files.begin(), files.end(), same)) ++parts;
        file.name = ShortName(file.path, parts);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const char* listPath = nullptr;
    int runs = 15;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else listPath = argv[i];
    }
    if (!listPath) {
        std::fprintf(stderr, "usage: %s LIST [--runs N]   (LIST from scripts/fetch-real-pngs)\n", argv[0]);
        return 2;
    }
    std::vector<File> files;
    if (!ReadList(listPath, files)) {
        std::fprintf(stderr, "cannot read %s\n", listPath);
        return 1;
    }
    std::printf("PNG decoding on real files: %zu from %s; libpng %s, libspng %d.%d.%d, stb_image; best of %d\n",
                files.size(), listPath, png_libpng_ver, SPNG_VERSION_MAJOR, SPNG_VERSION_MINOR,
                SPNG_VERSION_PATCH, runs);

    std::printf("\nOutput against libspng's (RGBA8, tRNS applied), byte for byte:\n");
    std::vector<std::array<bool, kDecoders>> works;
    std::vector<File> kept;
    int mendlowMismatches = 0, otherMismatches = 0;
    for (File& file : files) {
        bool w[kDecoders];
        if (!CheckOutputs(file, w, mendlowMismatches, otherMismatches)) continue;
        works.push_back({});
        std::copy(std::begin(w), std::end(w), works.back().begin());
        kept.push_back(std::move(file));
    }
    files = std::move(kept);
    std::printf("  Mendlow: %s; libpng and stb_image: %s\n",
                mendlowMismatches ? (std::to_string(mendlowMismatches) + " outputs differ").c_str()
                                  : "all equal",
                otherMismatches ? (std::to_string(otherMismatches) + " outputs differ").c_str() : "all equal");

    // Classes in the order they first appear in the list.
    std::vector<std::string> groups;
    for (const File& file : files)
        if (std::find(groups.begin(), groups.end(), file.group) == groups.end()) groups.push_back(file.group);

    std::printf("\nTime per decode in ms, and / libpng's with the same checksum setting (stb_image checks nothing;\n"
                "its ratio is to libpng with checks):\n");
    std::printf("%-66s | %-46s | %s\n", "", "checksums on", "checksums off");
    std::printf("%-36s %9s %-12s %6s | %7s %12s %12s %12s | %7s %12s %12s\n", "file", "pixels", "kind", "KiB",
                "libpng", "libspng", "stb_image", "mendlow", "libpng", "libspng", "mendlow");
    // Every file is sampled once a pass, so that a busy spell on the machine
    // costs each file a sample, not one file all of its samples.
    size_t largest = 0;
    for (const File& file : files) largest = std::max(largest, file.OutputSize());
    std::unique_ptr<uint8_t[]> out(new uint8_t[largest]);
    std::memset(out.get(), 0, largest);  // pages touched once, as a caller's reused buffer
    std::vector<int> repeats;
    for (const File& file : files) repeats.push_back(Repeats(file, out.get()));
    std::vector<std::array<double, kDecoders>> times(files.size());
    for (auto& t : times) t.fill(INFINITY);
    for (int run = 0; run < runs; ++run)
        for (size_t i = 0; i < files.size(); ++i) Sample(files[i], works[i], repeats[i], run, out.get(), times[i]);

    for (const std::string& group : groups) {
        std::printf("%s\n", group.c_str());
        for (size_t i = 0; i < files.size(); ++i) {
            const File& file = files[i];
            if (file.group != group) continue;
            const std::array<bool, kDecoders>& w = works[i];
            const std::array<double, kDecoders>& best = times[i];
            auto cell = [&](int d, int base) {
                if (!w[d]) return std::string("        fail");
                char text[32];
                std::snprintf(text, sizeof text, "%7.3f %4.2f", best[d] * 1e3, best[d] / best[base]);
                return std::string(text);
            };
            auto plain = [&](int d) {
                char text[16];
                std::snprintf(text, sizeof text, "%7.3f", w[d] ? best[d] * 1e3 : NAN);
                return std::string(text);
            };
            char pixels[24];
            std::snprintf(pixels, sizeof pixels, "%ux%u", file.width, file.height);
            std::printf("  %-34s %9s %-12s %6.1f | %s %s %s %s | %s %s %s\n", file.name.c_str(), pixels,
                        file.kind.c_str(), file.bytes.size() / 1024.0, plain(kLibpng).c_str(),
                        cell(kSpng, kLibpng).c_str(), cell(kStb, kLibpng).c_str(), cell(kMendlow, kLibpng).c_str(),
                        plain(kLibpngOff).c_str(), cell(kSpngOff, kLibpngOff).c_str(),
                        cell(kMendlowOff, kLibpngOff).c_str());
        }
    }

    // Geometric means of the ratios, a class at a time and over all files.
    struct Ratio {
        const char* heading;
        int decoder, base;
    };
    const Ratio ratios[] = {{"libspng", kSpng, kLibpng},          {"stb", kStb, kLibpng},
                            {"mendlow", kMendlow, kLibpng},        {"libspng", kSpngOff, kLibpngOff},
                            {"stb", kStb, kLibpngOff},             {"mendlow", kMendlowOff, kLibpngOff},
                            {"/stb", kMendlow, kStb},              {"off/stb", kMendlowOff, kStb},
                            {"off/png", kMendlowOff, kLibpng}};
    constexpr int kRatios = sizeof ratios / sizeof ratios[0];
    auto means = [&](const std::string& group, int& count) {
        std::array<double, kRatios> result{};
        count = 0;
        for (int r = 0; r < kRatios; ++r) {
            std::vector<double> values;
            for (size_t i = 0; i < files.size(); ++i) {
                if (!group.empty() && files[i].group != group) continue;
                if (works[i][ratios[r].decoder] && works[i][ratios[r].base])
                    values.push_back(times[i][ratios[r].decoder] / times[i][ratios[r].base]);
            }
            if (r == 0) count = static_cast<int>(values.size());
            result[r] = GeometricMean(values);
        }
        return result;
    };
    std::printf("\nGeometric means of time / libpng time (checksums on: / libpng with checks; off: / libpng\n"
                "without); then Mendlow / stb_image, and Mendlow without checks / libpng with:\n");
    std::printf("%-12s %5s | %-23s | %-23s | %-23s\n", "", "", "checksums on", "checksums off", "mendlow");
    std::printf("%-12s %5s | %7s %7s %7s | %7s %7s %7s | %7s %7s %7s\n", "class", "files", "libspng", "stb",
                "mendlow", "libspng", "stb", "mendlow", "/stb", "off/stb", "off/png");
    std::map<std::string, std::array<double, kRatios>> byGroup;
    std::vector<std::string> rows = groups;
    rows.push_back("");
    for (const std::string& group : rows) {
        int count = 0;
        std::array<double, kRatios> m = means(group, count);
        byGroup[group] = m;
        std::printf("%-12s %5d |", group.empty() ? "all" : group.c_str(), count);
        for (int r = 0; r < kRatios; ++r) std::printf(" %7.3f%s", m[r], r % 3 == 2 && r + 1 < kRatios ? " |" : "");
        std::printf("\n");
    }

    // Where the goals stand: overall, and the classes that miss.
    auto verdict = [&](const char* goal, int r, double limit) {
        std::string missing;
        for (const std::string& group : groups)
            if (!(byGroup[group][r] <= limit)) {
                char text[64];
                std::snprintf(text, sizeof text, "%s%s %.3f", missing.empty() ? "" : ", ", group.c_str(),
                              byGroup[group][r]);
                missing += text;
            }
        std::printf("  %-52s %.3f overall: %s; %s\n", goal, byGroup[""][r],
                    byGroup[""][r] <= limit ? "met" : "NOT MET",
                    missing.empty() ? "met in every class" : ("over it in " + missing).c_str());
    };
    std::printf("\nGoals:\n");
    verdict("Mendlow with checks <= 0.45 x libpng with checks:", 2, 0.45);
    verdict("Mendlow without checks <= 0.40 x libpng without:", 5, 0.40);
    verdict("Mendlow without checks <= 0.40 x libpng with checks:", 8, 0.40);
    verdict("Mendlow with checks faster than stb_image (< 1):", 6, 0.99999);
    verdict("Mendlow without checks faster than stb_image (< 1):", 7, 0.99999);

    // Peak memory on each class's largest picture.
    std::printf("\nPeak memory in MiB (each decode in a fresh process; rise above the start, the output\n"
                "included; the least of 3), each class's largest picture, checksums on:\n");
    std::printf("%-12s %-34s %9s %7s | %7s %7s %7s %7s\n", "class", "file", "pixels", "output", "libpng", "libspng",
                "stb", "mendlow");
    for (const std::string& group : groups) {
        const File* largest = nullptr;
        for (const File& file : files)
            if (file.group == group &&
                (!largest || file.OutputSize() > largest->OutputSize() ||
                 (file.OutputSize() == largest->OutputSize() && file.bytes.size() > largest->bytes.size())))
                largest = &file;
        char pixels[24];
        std::snprintf(pixels, sizeof pixels, "%ux%u", largest->width, largest->height);
        std::printf("%-12s %-34s %9s %7.2f |", group.c_str(), largest->name.c_str(), pixels,
                    largest->OutputSize() / 1048576.0);
        for (int d : {kLibpng, kSpng, kStb, kMendlow}) {
            double least = -1;
            for (int run = 0; run < 3; ++run) {
                double mib = PeakMiB(d, *largest);
                if (mib >= 0 && (least < 0 || mib < least)) least = mib;
            }
            if (least < 0) std::printf(" %7s", "fail");
            else std::printf(" %7.2f", least);
        }
        std::printf("\n");
    }
    return 0;
}
