// Stand-ins for the packing library, to test how the bridge handles a broken one.
#include <stdexcept>

#if defined(_WIN32)
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#if defined(FAKE_THROWS)
FAKE_EXPORT const char* Pack(const char*, const char*, const char*, const char*)
{
    throw std::runtime_error("kaputt");
}
FAKE_EXPORT const char* UnPack(const char*, const char*, const char*)
{
    throw std::runtime_error("kaputt");
}
#elif defined(FAKE_ECHO)
#include <string>
// Returns what it was given, so the test sees the exact arguments; the pass phrase in hex, so its
// bytes are seen whatever their encoding.
static std::string g_result;
static std::string hex(const char* text)
{
    static const char digits[] = "0123456789abcdef";
    std::string result;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        result += digits[*p >> 4];
        result += digits[*p & 15];
    }
    return result;
}
FAKE_EXPORT const char* Pack(const char* name, const char* list, const char* base, const char* phrase)
{
    g_result = std::string(name ? "name" : "null") + "|" + list + "|" + base + "|" + hex(phrase);
    return g_result.c_str();
}
FAKE_EXPORT const char* UnPack(const char* archive, const char* out, const char* phrase)
{
    g_result = std::string(archive) + "|" + out + "|" + hex(phrase);
    return g_result.c_str();
}
#else
// No exports of the expected names.
FAKE_EXPORT int SomethingElse()
{
    return 1;
}
#endif
