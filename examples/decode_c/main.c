/* Decodes a PNG (or BMP, GIF, ICO) file into memory through Mendlow's C
 * interface and tells its size and the colour halfway down, a quarter of the
 * way in: the same line as decode_png. */
#include <mendlow/image_codecs_c.h>

#include <stdio.h>
#include <stdlib.h>

/* The whole file, or NULL; *size gets its length. */
static uint8_t* read_file(const char* path, size_t* size) {
    FILE* in = fopen(path, "rb");
    uint8_t* bytes = NULL;
    long length = -1;
    if (in == NULL) return NULL;
    if (fseek(in, 0, SEEK_END) == 0) length = ftell(in);
    if (length > 0 && fseek(in, 0, SEEK_SET) == 0) bytes = malloc((size_t)length);
    if (bytes != NULL && fread(bytes, 1, (size_t)length, in) != (size_t)length) {
        free(bytes);
        bytes = NULL;
    }
    fclose(in);
    if (bytes != NULL) *size = (size_t)length;
    return bytes;
}

int main(int argc, char** argv) {
    size_t size = 0, stride = 0;
    uint8_t* file;
    uint8_t* pixels = NULL;
    mendlow_result result;
    int32_t x, y;
    const uint8_t* p;

    if (argc != 2) {
        fprintf(stderr, "usage: decode_c FILE\n");
        return 2;
    }
    file = read_file(argv[1], &size);
    if (file == NULL) {
        fprintf(stderr, "%s: cannot be read\n", argv[1]);
        return 1;
    }
    /* NULL options: red, green, blue, alpha, straight, top-down. */
    mendlow_decode_image(file, size, NULL, &pixels, &stride, &result);
    free(file);
    if (result.status != MENDLOW_STATUS_OK) {
        fprintf(stderr, "%s: %s (%s)\n", argv[1], result.message, mendlow_status_text(result.status));
        return 1;
    }
    x = result.info.width / 4;
    y = result.info.height / 2;
    p = pixels + (size_t)y * stride + (size_t)x * 4;
    printf("%d x %d, RGBA %u %u %u %u at (%d, %d)\n", (int)result.info.width, (int)result.info.height,
           (unsigned)p[0], (unsigned)p[1], (unsigned)p[2], (unsigned)p[3], (int)x, (int)y);
    mendlow_free_pixels(pixels);
    return 0;
}
