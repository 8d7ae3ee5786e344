#include "FileIo.h"

#include <openssl/rand.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <random>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ostrand::io {

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.release();
    }
    return *this;
}

int File::release()
{
    int fd = m_fd;
    m_fd = -1;
    return fd;
}

#ifdef _WIN32

namespace {
// The CRT has no pread; serialise seek and read per process.
std::mutex g_readAtMutex;

void fill(const struct _stat64& st, FileInfo& info)
{
    info.exists = true;
    info.isDirectory = (st.st_mode & _S_IFMT) == _S_IFDIR;
    info.isRegular = (st.st_mode & _S_IFMT) == _S_IFREG;
    info.size = st.st_size;
    info.mtime = st.st_mtime;
    info.mode = (st.st_mode & _S_IWRITE) ? 0644u : 0444u;
}
} // namespace

int File::close()
{
    int rc = 0;
    if (m_fd >= 0 && ::_close(m_fd) != 0)
        rc = errno;
    m_fd = -1;
    return rc;
}

int stat(const std::string& path, FileInfo& info)
{
    info = FileInfo{};
    struct _stat64 st;
    if (::_stat64(path.c_str(), &st) != 0)
        return (errno == ENOENT) ? 0 : errno;
    fill(st, info);
    return 0;
}

int fstat(const File& file, FileInfo& info)
{
    info = FileInfo{};
    struct _stat64 st;
    if (::_fstat64(file.fd(), &st) != 0)
        return errno;
    fill(st, info);
    return 0;
}

int openRead(const std::string& path, File& file)
{
    int fd = ::_open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0)
        return errno;
    file = File(fd);
    return 0;
}

int createNew(const std::string& path, File& file)
{
    int fd = ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                     _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return errno;
    file = File(fd);
    return 0;
}

int read(const File& file, void* buffer, std::size_t n, std::size_t& got)
{
    got = 0;
    int r = ::_read(file.fd(), buffer, static_cast<unsigned>(n > 0x40000000u ? 0x40000000u : n));
    if (r < 0)
        return errno;
    got = static_cast<std::size_t>(r);
    return 0;
}

int readAt(const File& file, void* buffer, std::size_t n, std::int64_t offset, std::size_t& got)
{
    std::lock_guard lock(g_readAtMutex);
    got = 0;
    if (::_lseeki64(file.fd(), offset, SEEK_SET) < 0)
        return errno;
    auto* p = static_cast<char*>(buffer);
    while (got < n) {
        std::size_t part = 0;
        if (int rc = read(file, p + got, n - got, part))
            return rc;
        if (part == 0)
            break;
        got += part;
    }
    return 0;
}

int writeAll(const File& file, const void* data, std::size_t n)
{
    auto* p = static_cast<const char*>(data);
    while (n > 0) {
        unsigned part = static_cast<unsigned>(n > 0x40000000u ? 0x40000000u : n);
        int w = ::_write(file.fd(), p, part);
        if (w < 0)
            return errno;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return 0;
}

int sync(const File& file)
{
    return ::_commit(file.fd()) == 0 ? 0 : errno;
}

int removeFile(const std::string& path)
{
    return ::_unlink(path.c_str()) == 0 ? 0 : errno;
}

int makeDirectory(const std::string& path, unsigned)
{
    return ::_mkdir(path.c_str()) == 0 ? 0 : errno;
}

int removeDirectory(const std::string& path)
{
    return ::_rmdir(path.c_str()) == 0 ? 0 : errno;
}

namespace {
int moveFile(const std::string& from, const std::string& to, DWORD flags)
{
    if (MoveFileExA(from.c_str(), to.c_str(), flags))
        return 0;
    switch (GetLastError()) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}
} // namespace

int renameReplacing(const std::string& from, const std::string& to)
{
    return moveFile(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

int renameNoReplace(const std::string& from, const std::string& to)
{
    return moveFile(from, to, MOVEFILE_WRITE_THROUGH);
}

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

// Files here cannot be locked for the lifetime of a handle the way flock does it, and folders not
// at all: the process id in a temporary's name decides alone.
int openForLock(const std::string&, File&)
{
    return 0;
}

int lockExclusive(const File&)
{
    return 0;
}

long processId()
{
    return static_cast<long>(GetCurrentProcessId());
}

bool processMayBeAlive(long pid)
{
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!h)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    const bool alive = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return alive;
}

bool isAbsolute(const std::string& path)
{
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        isSeparator(path[2]))
        return true;
    return path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
}

#else

namespace {
void fill(const struct ::stat& st, FileInfo& info)
{
    info.exists = true;
    info.isDirectory = S_ISDIR(st.st_mode);
    info.isRegular = S_ISREG(st.st_mode);
    info.size = st.st_size;
    info.mtime = st.st_mtime;
    info.mode = st.st_mode & 07777;
}
} // namespace

int File::close()
{
    int rc = 0;
    if (m_fd >= 0 && ::close(m_fd) != 0 && errno != EINTR)
        rc = errno;
    m_fd = -1;
    return rc;
}

int stat(const std::string& path, FileInfo& info)
{
    info = FileInfo{};
    struct ::stat st;
    if (::stat(path.c_str(), &st) != 0)
        return (errno == ENOENT) ? 0 : errno;
    fill(st, info);
    return 0;
}

int fstat(const File& file, FileInfo& info)
{
    info = FileInfo{};
    struct ::stat st;
    if (::fstat(file.fd(), &st) != 0)
        return errno;
    fill(st, info);
    return 0;
}

int openRead(const std::string& path, File& file)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno;
    file = File(fd);
    return 0;
}

int createNew(const std::string& path, File& file)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return errno;
    file = File(fd);
    return 0;
}

int read(const File& file, void* buffer, std::size_t n, std::size_t& got)
{
    got = 0;
    for (;;) {
        ssize_t r = ::read(file.fd(), buffer, n);
        if (r >= 0) {
            got = static_cast<std::size_t>(r);
            return 0;
        }
        if (errno != EINTR)
            return errno;
    }
}

int readAt(const File& file, void* buffer, std::size_t n, std::int64_t offset, std::size_t& got)
{
    got = 0;
    auto* p = static_cast<char*>(buffer);
    while (got < n) {
        ssize_t r =
            ::pread(file.fd(), p + got, n - got, static_cast<off_t>(offset + static_cast<std::int64_t>(got)));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (r == 0)
            break;
        got += static_cast<std::size_t>(r);
    }
    return 0;
}

int writeAll(const File& file, const void* data, std::size_t n)
{
    auto* p = static_cast<const char*>(data);
    while (n > 0) {
        ssize_t w = ::write(file.fd(), p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (w == 0)
            return ENOSPC;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return 0;
}

int sync(const File& file)
{
    return ::fsync(file.fd()) == 0 ? 0 : errno;
}

int removeFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int makeDirectory(const std::string& path, unsigned mode)
{
    return ::mkdir(path.c_str(), static_cast<mode_t>(mode)) == 0 ? 0 : errno;
}

int removeDirectory(const std::string& path)
{
    return ::rmdir(path.c_str()) == 0 ? 0 : errno;
}

int renameReplacing(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int renameNoReplace(const std::string& from, const std::string& to)
{
#if defined(__linux__)
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    // File systems without an atomic no-replace rename: check, then rename. The callers move
    // entries out of their own staging folder into a folder they were given empty.
    struct ::stat st;
    if (::lstat(to.c_str(), &st) == 0)
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool isSeparator(char c)
{
    return c == '/';
}

int openForLock(const std::string& path, File& file)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
    if (fd < 0)
        return errno;
    file = File(fd);
    return 0;
}

int lockExclusive(const File& file)
{
    for (;;) {
        if (::flock(file.fd(), LOCK_EX | LOCK_NB) == 0)
            return 0;
        if (errno != EINTR)
            return errno;
    }
}

long processId()
{
    return static_cast<long>(::getpid());
}

bool processMayBeAlive(long pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH);
}

bool isAbsolute(const std::string& path)
{
    return !path.empty() && path[0] == '/';
}

#endif

std::string parentOf(const std::string& path)
{
    std::size_t end = path.size();
    while (end > 1 && isSeparator(path[end - 1]))
        --end;
    std::size_t pos = end;
    while (pos > 0 && !isSeparator(path[pos - 1]))
        --pos;
    if (pos == 0)
        return ".";
    std::size_t dirEnd = pos;
    while (dirEnd > 1 && isSeparator(path[dirEnd - 1]))
        --dirEnd;
    return path.substr(0, dirEnd);
}

std::string fileNameOf(const std::string& path)
{
    std::size_t end = path.size();
    while (end > 0 && isSeparator(path[end - 1]))
        --end;
    std::size_t pos = end;
    while (pos > 0 && !isSeparator(path[pos - 1]))
        --pos;
    return path.substr(pos, end - pos);
}

std::string join(const std::string& dir, const std::string& name)
{
    if (dir.empty())
        return name;
    if (isSeparator(dir.back()))
        return dir + name;
#ifdef _WIN32
    return dir + "\\" + name;
#else
    return dir + "/" + name;
#endif
}

std::string randomSuffix()
{
    unsigned char bytes[8];
    if (RAND_bytes(bytes, sizeof bytes) != 1) {
        std::random_device rd;
        for (auto& b : bytes)
            b = static_cast<unsigned char>(rd());
    }
    static const char hex[] = "0123456789abcdef";
    std::string s;
    for (unsigned char b : bytes) {
        s += hex[b >> 4];
        s += hex[b & 15];
    }
    return s;
}

} // namespace ostrand::io
