// imagetool: a thin command-line front over the image library.
//   imagetool info FILE          prints "WIDTH HEIGHT IMAGETYPE ALPHA"
//   imagetool decode FILE OUT    writes the premultiplied pixels, top row
//                                first, blue-green-red-alpha
//   imagetool icons FILE         lists an icon or cursor file's images, one
//                                "WIDTH HEIGHT BITS COLORCODE" line each
//   imagetool encode FILE OUT    saves the image as PNG (OUT ends in .png)
//                                or BMP (OUT ends in .bmp)
// Options: --no-zlib, --no-gdiplus make those libraries count as absent;
// --icon WIDTHxHEIGHTxBITS chooses the image of an icon or cursor file;
// --own writes PNG with the own encoder even where GDI+ is there.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "codecs/cICOparser.h"
#include "codecs/gdiplus_availability.h"
#include "codecs/ico_directory.h"
#include "codecs/modParsers.h"
#include "imagecore/c32bppDIB.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

int Usage() {
    std::fprintf(stderr,
                 "usage: imagetool [options] info FILE\n"
                 "       imagetool [options] decode FILE OUT\n"
                 "       imagetool icons FILE\n"
                 "       imagetool [options] encode FILE OUT.png|OUT.bmp\n"
                 "options: --no-zlib --no-gdiplus --own --icon WIDTHxHEIGHTxBITS\n");
    return 2;
}

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// The image wanted from an icon or cursor file.
struct IconChoice {
    int32_t width = 0, height = 0, bits = 32;
};

bool ParseIconChoice(const std::string& text, IconChoice& choice) {
    char tail = 0;
    return std::sscanf(text.c_str(), "%dx%dx%d%c", &choice.width, &choice.height, &choice.bits, &tail) == 3;
}

// Loads the file through the library's loading; a message and false when it
// is not an image we read.
bool Load(const std::string& name, const IconChoice& icon, c32bppDIB& image) {
    const fs::path path = PathOf(name);
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        std::fprintf(stderr, "imagetool: cannot read %s\n", name.c_str());
        return false;
    }
    if (!image.LoadPicture_File(path.wstring(), icon.width, icon.height, false, icon.bits)) {
        std::fprintf(stderr, "imagetool: %s: not a format imagetool reads, or damaged\n", name.c_str());
        return false;
    }
    return true;
}

bool ReadAll(const fs::path& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return !in.bad();
}

int ListIcons(const std::string& name) {
    std::vector<uint8_t> bytes;
    if (!ReadAll(PathOf(name), bytes)) {
        std::fprintf(stderr, "imagetool: cannot read %s\n", name.c_str());
        return 1;
    }
    cICOparser icons;
    if (!icons.LoadStream(bytes, 32, 32, nullptr, 0, 0, 32, 0)) {
        std::fprintf(stderr, "imagetool: %s: not an icon or cursor file\n", name.c_str());
        return 1;
    }
    for (int32_t i = 1; i <= icons.IconCount(); ++i)
        std::printf("%d %d %d %d\n", icons.Width(i), icons.Height(i), icons.bitDepth(i),
                    ico::ColourCode(icons.bitDepth(i)));
    return 0;
}

bool WriteAll(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(PathOf(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (out) return true;
    std::fprintf(stderr, "imagetool: cannot write %s\n", name.c_str());
    return false;
}

std::string LowerExtension(const std::string& name) {
    std::string extension = PathOf(name).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

int Encode(const std::string& name, const std::string& outName, const IconChoice& icon, bool ownEncoder) {
    const std::string extension = LowerExtension(outName);
    if (extension != ".png" && extension != ".bmp") {
        std::fprintf(stderr, "imagetool: %s: the output must end in .png or .bmp\n", outName.c_str());
        return 2;
    }
    c32bppDIB image;
    if (!Load(name, icon, image)) return 1;
    if (ownEncoder) image.SetIsGDIplusEnabled(false);
    std::vector<uint8_t> bytes;
    const bool saved = extension == ".png" ? image.SaveToStream_PNG(bytes) : image.SaveToStream(bytes);
    if (!saved) {
        std::fprintf(stderr, "imagetool: %s: the image could not be encoded\n", name.c_str());
        return 1;
    }
    return WriteAll(outName, bytes) ? 0 : 1;
}

int Run(std::vector<std::string> args) {
    std::vector<std::string> words;
    IconChoice icon;
    bool ownEncoder = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--icon") {
            if (++i == args.size() || !ParseIconChoice(args[i], icon)) return Usage();
        } else if (arg == "--no-zlib")
            modParsers::SetZlibDisabled(true);
        else if (arg == "--no-gdiplus")
            gdiplus::SetDisabled(true);
        else if (arg == "--own")
            ownEncoder = true;
        else if (arg.starts_with("--"))
            return Usage();
        else
            words.push_back(arg);
    }
    if (words.size() == 2 && words[0] == "icons") return ListIcons(words[1]);
    if (words.size() == 2 && words[0] == "info") {
        c32bppDIB image;
        if (!Load(words[1], icon, image)) return 1;
        std::printf("%d %d %d %d\n", image.Width(), image.Height(), image.ImageType(), image.Alpha() ? 1 : 0);
        return 0;
    }
    if (words.size() == 3 && words[0] == "decode") {
        c32bppDIB image;
        if (!Load(words[1], icon, image)) return 1;
        std::ofstream out(PathOf(words[2]), std::ios::binary);
        for (int y = 0; y < image.Height() && out; ++y)
            out.write(reinterpret_cast<const char*>(image.Pixels().PictureRow(y)), std::streamsize{image.Width()} * 4);
        if (!out) {
            std::fprintf(stderr, "imagetool: cannot write %s\n", words[2].c_str());
            return 1;
        }
        return 0;
    }
    if (words.size() == 3 && words[0] == "encode") return Encode(words[1], words[2], icon, ownEncoder);
    return Usage();
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(size > 0 ? size - 1 : 0, '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), size, nullptr, nullptr);
        args.push_back(arg);
    }
    return Run(args);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
