#include "Temporaries.h"

#include "FileIo.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace ostrand::temp {

namespace {

const std::string kSuffix = ".tmp";
const std::string kStagingPrefix = ".ostrand-";
const std::string kArchiveMark = ".zip.3des.";
constexpr std::size_t kRandomDigits = 16;

std::string ownerTag()
{
    return std::to_string(io::processId()) + "-" + io::randomSuffix();
}

// "<pid>-<16 hex>" -> pid, or 0 when the text is not such a tag.
long parseTag(const std::string& tag)
{
    const std::size_t dash = tag.find('-');
    if (dash == 0 || dash == std::string::npos || dash > 10 || tag.size() != dash + 1 + kRandomDigits)
        return 0;
    long pid = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(tag[i])))
            return 0;
        pid = pid * 10 + (tag[i] - '0');
    }
    for (std::size_t i = dash + 1; i < tag.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(tag[i])))
            return 0;
    return pid;
}

bool endsWith(const std::string& s, const std::string& end)
{
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

enum class Kind { None, ArchiveTemp, Staging };

Kind classify(const std::string& name, long& pid)
{
    pid = 0;
    if (!endsWith(name, kSuffix))
        return Kind::None;
    const std::string stem = name.substr(0, name.size() - kSuffix.size());
    if (stem.rfind(kStagingPrefix, 0) == 0) {
        pid = parseTag(stem.substr(kStagingPrefix.size()));
        return pid ? Kind::Staging : Kind::None;
    }
    const std::size_t mark = stem.rfind(kArchiveMark);
    if (mark == std::string::npos || mark == 0)
        return Kind::None;
    pid = parseTag(stem.substr(mark + kArchiveMark.size()));
    return pid ? Kind::ArchiveTemp : Kind::None;
}

} // namespace

std::string archiveTempName(const std::string& archive)
{
    return archive + "." + ownerTag() + kSuffix;
}

std::string stagingName()
{
    return kStagingPrefix + ownerTag() + kSuffix;
}

void removeDeadTemporaries(const std::string& dir)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(dir), ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        long pid = 0;
        const Kind kind = classify(it->path().filename().string(), pid);
        if (kind == Kind::None || pid == io::processId() || io::processMayBeAlive(pid))
            continue;
        std::error_code typeError;
        const fs::file_type type = it->symlink_status(typeError).type();
        if (typeError || type != (kind == Kind::Staging ? fs::file_type::directory : fs::file_type::regular))
            continue;
        const std::string path = it->path().string();
        io::File lock;
        if (io::openForLock(path, lock) != 0 || io::lockExclusive(lock) != 0)
            continue;
        std::error_code removeError;
        if (kind == Kind::Staging)
            fs::remove_all(it->path(), removeError);
        else
            io::removeFile(path);
    }
}

} // namespace ostrand::temp
