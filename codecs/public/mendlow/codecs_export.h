/* MENDLOW_CODECS_API marks the decoding entry's functions. The shared
 * library exports them and nothing else; its users import them (the
 * package's target defines MENDLOW_CODECS_SHARED for them). In the static
 * library it is empty. Plain C, for mendlow/image_codecs_c.h too. */
#ifndef MENDLOW_CODECS_EXPORT_H
#define MENDLOW_CODECS_EXPORT_H

#if !defined(MENDLOW_CODECS_SHARED)
#define MENDLOW_CODECS_API
#elif defined(_WIN32)
#if defined(MENDLOW_CODECS_BUILDING)
#define MENDLOW_CODECS_API __declspec(dllexport)
#else
#define MENDLOW_CODECS_API __declspec(dllimport)
#endif
#else
#define MENDLOW_CODECS_API __attribute__((visibility("default")))
#endif

#endif /* MENDLOW_CODECS_EXPORT_H */
