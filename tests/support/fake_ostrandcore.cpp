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
// Returns what it was given, so the test sees the exact arguments.
static std::string g_result;
FAKE_EXPORT const char* Pack(const char* name, const char* list, const char* base, const char* phrase)
{
    g_result = std::string(name ? "name" : "null") + "|" + list + "|" + base + "|" + phrase;
    return g_result.c_str();
}
FAKE_EXPORT const char* UnPack(const char* archive, const char* out, const char* phrase)
{
    g_result = std::string(archive) + "|" + out + "|" + phrase;
    return g_result.c_str();
}
#else
// No exports of the expected names.
FAKE_EXPORT int SomethingElse()
{
    return 1;
}
#endif
