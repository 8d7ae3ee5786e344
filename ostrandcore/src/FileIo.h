#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Thin wrappers over the operating system's file calls. Each returns 0 or the errno value, so the
// callers can name the cause in their messages.
namespace ostrand::io {

struct FileInfo {
    bool exists = false;
    bool isDirectory = false;
    bool isRegular = false;
    std::int64_t size = 0;
    std::int64_t mtime = 0; // seconds since the epoch
    unsigned mode = 0;      // permission bits
};

// Owns an open file descriptor.
class File {
public:
    File() = default;
    explicit File(int fd) : m_fd(fd) {}
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept : m_fd(other.release()) {}
    File& operator=(File&& other) noexcept;
    ~File() { close(); }

    int fd() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    int release();
    int close();

private:
    int m_fd = -1;
};

// Follows symbolic links. A path that does not exist gives exists == false and returns 0.
int stat(const std::string& path, FileInfo& info);
int fstat(const File& file, FileInfo& info);

// Opens for reading without blocking on FIFOs or devices; callers check the type with fstat.
int openRead(const std::string& path, File& file);
// Creates a new file; fails with EEXIST when the name is taken.
int createNew(const std::string& path, File& file);

// Reads up to n bytes; got == 0 means end of file.
int read(const File& file, void* buffer, std::size_t n, std::size_t& got);
// Reads exactly n bytes at offset (less only at end of file). Safe to call from several threads.
int readAt(const File& file, void* buffer, std::size_t n, std::int64_t offset, std::size_t& got);
int writeAll(const File& file, const void* data, std::size_t n);
// Makes the written data durable before the file gets its final name.
int sync(const File& file);

int removeFile(const std::string& path);
int makeDirectory(const std::string& path, unsigned mode);
int removeDirectory(const std::string& path);
// Replaces an existing target.
int renameReplacing(const std::string& from, const std::string& to);
// Fails with EEXIST when the target exists.
int renameNoReplace(const std::string& from, const std::string& to);

// Ownership of temporaries. The owner holds a lock on its temporary while it lives; another run
// that can take that lock knows the owner is gone. flock locks belong to the open file, so they
// also keep apart two threads of one process.
// Opens a file or folder read-only just to hold or test its lock.
int openForLock(const std::string& path, File& file);
// Non-blocking; EWOULDBLOCK when another open file holds the lock.
int lockExclusive(const File& file);
long processId();
// False only when no process of that id exists any more.
bool processMayBeAlive(long pid);

// A full path: "/..." here, "X:\..." or "\\server\..." on Windows. Anything else would be taken
// relative to the current directory.
bool isAbsolute(const std::string& path);

// Directory and name of a path, split at the last separator.
std::string parentOf(const std::string& path);
std::string fileNameOf(const std::string& path);
std::string join(const std::string& dir, const std::string& name);
bool isSeparator(char c);

// Random lower-case hex text, for names of temporary files and folders.
std::string randomSuffix();

} // namespace ostrand::io
