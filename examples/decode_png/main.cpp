// Decodes a PNG (or BMP, GIF, ICO) file into memory with Mendlow's codecs
// and tells its size and the colour halfway down, a quarter of the way in.
#include <mendlow/image_codecs.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: decode_png FILE\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    mendlow::DecodedImage image;
    const mendlow::DecodeResult result = mendlow::DecodeImage(file.data(), file.size(), {}, image);
    if (!result) {
        std::fprintf(stderr, "%s: %s (%s)\n", argv[1], mendlow::DescribeStatus(result.status), result.message);
        return 1;
    }
    const uint8_t* p = image.pixels.data() + static_cast<size_t>(image.height / 2) * image.stride + image.width / 4 * 4;
    std::printf("%d x %d, RGBA %u %u %u %u at (%d, %d)\n", image.width, image.height, p[0], p[1], p[2], p[3],
                image.width / 4, image.height / 2);
    return 0;
}
