#include "Ostrandcore.h"

#include "Messages.h"
#include "Packer.h"
#include "Unpacker.h"

#include <exception>
#include <new>
#include <string>

#ifndef _WIN32
#include <clocale>
#include <locale.h>
#endif

namespace {

// File names are UTF-8 outside Windows, whatever locale the host application runs under.
// libarchive converts names with the locale of the calling thread, so switch that thread
// to a UTF-8 locale for the duration of a call.
class Utf8Locale {
public:
    Utf8Locale()
    {
#ifndef _WIN32
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            m_locale = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
            if (m_locale != static_cast<locale_t>(0)) {
                m_previous = uselocale(m_locale);
                break;
            }
        }
#endif
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;
    ~Utf8Locale()
    {
#ifndef _WIN32
        if (m_locale != static_cast<locale_t>(0)) {
            uselocale(m_previous);
            freelocale(m_locale);
        }
#endif
    }

private:
#ifndef _WIN32
    locale_t m_locale = static_cast<locale_t>(0);
    locale_t m_previous = static_cast<locale_t>(0);
#endif
};

std::string text(const char* s)
{
    return s ? std::string(s) : std::string();
}

// No exception may cross the C boundary.
template <typename F> const char* guarded(std::string& result, F&& work)
{
    try {
        Utf8Locale locale;
        result = work();
    } catch (const std::bad_alloc&) {
        result = ostrand::msg::outOfMemory();
    } catch (const std::exception& e) {
        result = ostrand::msg::internalError(e.what());
    } catch (...) {
        result = ostrand::msg::internalError("unbekannte Ausnahme");
    }
    return result.c_str();
}

} // namespace

extern "C" {

OSTRAND_EXPORT const char* OSTRAND_CALL Pack(const char* /*archiveName*/, const char* fileList,
                                             const char* archiveBase, const char* passPhrase)
{
    thread_local std::string result;
    return guarded(result,
                   [&] { return ostrand::pack(text(fileList), text(archiveBase), text(passPhrase)); });
}

OSTRAND_EXPORT const char* OSTRAND_CALL UnPack(const char* archivePath, const char* outputDir,
                                               const char* passPhrase)
{
    thread_local std::string result;
    return guarded(result,
                   [&] { return ostrand::unpack(text(archivePath), text(outputDir), text(passPhrase)); });
}
}
