// A zlib in the standard (stdcall) convention, forwarding to the real one;
// built as zlib.dll for the search and convention tests. Without
// MENDLOW_WITH_COMPRESS2 it lacks compress2.
#include <zlib.h>

extern "C" {

__declspec(dllexport) uLong __stdcall stdcall_crc32(uLong crc, const Bytef* data, uInt length) {
    return crc32(crc, data, length);
}

__declspec(dllexport) int __stdcall stdcall_uncompress(Bytef* out, uLongf* outLength, const Bytef* in, uLong inLength) {
    return uncompress(out, outLength, in, inLength);
}

__declspec(dllexport) int __stdcall stdcall_compress(Bytef* out, uLongf* outLength, const Bytef* in, uLong inLength) {
    return compress(out, outLength, in, inLength);
}

#ifdef MENDLOW_WITH_COMPRESS2
__declspec(dllexport) int __stdcall stdcall_compress2(Bytef* out, uLongf* outLength, const Bytef* in, uLong inLength,
                                                      int level) {
    return compress2(out, outLength, in, inLength, level);
}
#endif
}
