#pragma once

// The C interface of the packing library.
//
// Pack writes the files of a ";"-separated list of full paths (directories with their contents)
// into archiveBase + ".zip.3des": a ZIP archive encrypted the way
//     openssl enc -des-ede3-cbc -pbkdf2 -iter 100000 -md sha256
// encrypts, so the standard tools open it. UnPack opens such a file and extracts it into outputDir.
//
// Both return a NUL-terminated text owned by the library and valid until the next call on the same
// thread: empty on success, a German error text otherwise. Strings are in the ANSI code page on
// Windows and UTF-8 elsewhere. archiveName is unused and may be null.

#if defined(_WIN32)
#if defined(_M_IX86) || defined(__i386__)
#define OSTRAND_CALL __stdcall
#else
#define OSTRAND_CALL
#endif
#if defined(OSTRANDCORE_BUILDING)
#define OSTRAND_EXPORT __declspec(dllexport)
#else
#define OSTRAND_EXPORT __declspec(dllimport)
#endif
#else
#define OSTRAND_CALL
#define OSTRAND_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

OSTRAND_EXPORT const char* OSTRAND_CALL Pack(const char* archiveName, const char* fileList,
                                             const char* archiveBase, const char* passPhrase);
OSTRAND_EXPORT const char* OSTRAND_CALL UnPack(const char* archivePath, const char* outputDir,
                                               const char* passPhrase);

// Function pointer types for callers that load the library at run time.
typedef const char*(OSTRAND_CALL* OstrandPackFn)(const char*, const char*, const char*, const char*);
typedef const char*(OSTRAND_CALL* OstrandUnPackFn)(const char*, const char*, const char*);

#ifdef __cplusplus
}
#endif
