/* Decoding a picture file in memory with Mendlow's own codecs, from C99 or
 * any language that calls C: the entry of mendlow/image_codecs.h with the
 * same formats, the same output and the same rules.
 *
 * Every call keeps no state between calls: any number of threads may decode
 * at once, each with its own bytes and output. Bad input gets a status and a
 * message, never a crash or a read or write outside the buffers given. Each
 * call returns its status; the result it fills may be NULL wherever one is
 * taken. */
#ifndef MENDLOW_IMAGE_CODECS_C_H
#define MENDLOW_IMAGE_CODECS_C_H

#include <stddef.h>
#include <stdint.h>

#include "mendlow/codecs_export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Statuses, the values of mendlow::DecodeStatus. */
#define MENDLOW_STATUS_OK 0
#define MENDLOW_STATUS_INVALID_ARGUMENT 1  /* null bytes or buffer, a short buffer or stride, no such option value */
#define MENDLOW_STATUS_NOT_A_PICTURE 2     /* no format these codecs know starts this way */
#define MENDLOW_STATUS_UNSUPPORTED 3       /* a known format in a form these codecs do not read */
#define MENDLOW_STATUS_DAMAGED 4           /* the file breaks its format's rules */
#define MENDLOW_STATUS_TRUNCATED 5         /* the file ends before its picture does */
#define MENDLOW_STATUS_CHECKSUM_MISMATCH 6 /* a PNG chunk's CRC-32 or the image data's Adler-32 */
#define MENDLOW_STATUS_TOO_LARGE 7         /* more pixels than the options' max_pixels */
#define MENDLOW_STATUS_OUT_OF_MEMORY 8

/* File formats (mendlow_image_info.format). */
#define MENDLOW_FORMAT_UNKNOWN 0
#define MENDLOW_FORMAT_PNG 1
#define MENDLOW_FORMAT_BMP 2
#define MENDLOW_FORMAT_GIF 3
#define MENDLOW_FORMAT_ICO 4
#define MENDLOW_FORMAT_CUR 5

/* Option values: byte order in memory, alpha, row order. */
#define MENDLOW_CHANNELS_RGBA 0
#define MENDLOW_CHANNELS_BGRA 1
#define MENDLOW_ALPHA_STRAIGHT 0
#define MENDLOW_ALPHA_PREMULTIPLIED 1
#define MENDLOW_ROWS_TOP_DOWN 0
#define MENDLOW_ROWS_BOTTOM_UP 1

/* 64 Mi pixels: an 8192 x 8192 picture, 256 MiB of output. */
#define MENDLOW_DEFAULT_MAX_PIXELS ((uint64_t)1 << 26)

typedef struct mendlow_image_info {
    int32_t width;
    int32_t height;
    int32_t format; /* MENDLOW_FORMAT_* */
    /* 1 where any pixel may be less than opaque: an alpha channel, a PNG
     * tRNS chunk, a GIF transparent colour, an icon's mask; else 0. */
    int32_t has_alpha;
} mendlow_image_info;

typedef struct mendlow_decode_options {
    int32_t channels; /* MENDLOW_CHANNELS_* */
    int32_t alpha;    /* MENDLOW_ALPHA_* */
    int32_t rows;     /* MENDLOW_ROWS_* */
    /* A picture with more pixels answers MENDLOW_STATUS_TOO_LARGE before
     * anything is allocated for it. */
    uint64_t max_pixels;
    /* 1: PNG chunks' CRC-32 and the image data's Adler-32 are checked; 0:
     * they are not. */
    int32_t check_checksums;
} mendlow_decode_options;

typedef struct mendlow_result {
    int32_t status; /* MENDLOW_STATUS_* */
    /* Why, in a sentence; a static string, never NULL. */
    const char* message;
    mendlow_image_info info; /* filled as far as the file was read */
} mendlow_result;

/* The defaults: RGBA, straight alpha, top-down, MENDLOW_DEFAULT_MAX_PIXELS,
 * checksums checked. Start from these and change what differs, so that every
 * field has a value. */
MENDLOW_CODECS_API void mendlow_default_decode_options(mendlow_decode_options* options);

/* Size, format and alpha from the headers, without decoding pixels. An ICO
 * or CUR file gives the image the decoding calls would choose. */
MENDLOW_CODECS_API int32_t mendlow_read_image_info(const uint8_t* file, size_t size, mendlow_result* result);

/* Four bytes a pixel into the caller's buffer, as the options say (NULL:
 * the defaults). Straight alpha gives each pixel's stored colour, also where
 * it is transparent; premultiplied gives colour x alpha / 255, truncated. A
 * PNG's 16-bit samples keep their high byte; grey samples of 1, 2 or 4 bits
 * are scaled to 0-255.
 *
 * Rows are stride bytes apart (at least width x 4), the buffer at least
 * stride x (height - 1) + width x 4 bytes (ask mendlow_read_image_info
 * first). Nothing past the last pixel of a row is written. On failure the
 * buffer holds whatever was decoded so far. */
MENDLOW_CODECS_API int32_t mendlow_decode_image_into(const uint8_t* file, size_t size,
                                                     const mendlow_decode_options* options, uint8_t* pixels,
                                                     size_t buffer_size, size_t stride, mendlow_result* result);

/* The same into a buffer it allocates: *pixels gets width x 4 x height
 * bytes, rows *stride (width x 4) bytes apart, the size in result->info.
 * Give them back with mendlow_free_pixels. On failure *pixels is NULL and
 * *stride 0; pixels and stride must not be NULL. */
MENDLOW_CODECS_API int32_t mendlow_decode_image(const uint8_t* file, size_t size,
                                                const mendlow_decode_options* options, uint8_t** pixels,
                                                size_t* stride, mendlow_result* result);

/* Frees what mendlow_decode_image allocated, with the allocator that
 * allocated it (a program may use another C runtime); NULL is ignored. */
MENDLOW_CODECS_API void mendlow_free_pixels(uint8_t* pixels);

/* A short English text for a status, for logs ("ok", "damaged", ...);
 * "unknown status" for a value that is none. Static, never NULL. */
MENDLOW_CODECS_API const char* mendlow_status_text(int32_t status);

#ifdef __cplusplus
}
#endif

#endif /* MENDLOW_IMAGE_CODECS_C_H */
