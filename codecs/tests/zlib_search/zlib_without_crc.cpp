// A library named zlib1.dll that lacks crc32: it must count as absent.
extern "C" __declspec(dllexport) int compress2(void*, void*, const void*, unsigned long, int) { return -2; }
