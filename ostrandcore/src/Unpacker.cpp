#include "Unpacker.h"

#include "DecryptingReader.h"
#include "EntryName.h"
#include "FileIo.h"
#include "Messages.h"
#include "PassPhrase.h"
#include "Temporaries.h"
#include "ZipDirectory.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

namespace ostrand {

namespace {

struct ReadDeleter {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteDeleter {
    void operator()(archive* a) const { archive_write_free(a); }
};

la_ssize_t readDecrypted(archive* a, void* client, const void** buffer)
{
    auto* reader = static_cast<DecryptingReader*>(client);
    long n = reader->read(buffer);
    if (n < 0)
        archive_set_error(a, reader->ioError(), "read failed");
    return n;
}

la_int64_t seekDecrypted(archive*, void* client, la_int64_t offset, int whence)
{
    la_int64_t pos = static_cast<DecryptingReader*>(client)->seek(offset, whence);
    return pos < 0 ? ARCHIVE_FATAL : pos;
}

std::string withoutTrailingSeparators(std::string path)
{
    while (path.size() > 1 && io::isSeparator(path.back()))
        path.pop_back();
    return path;
}

// Keys for the names already extracted. Where the file system ignores letter case, names that differ
// only in case would land on one file.
std::string nameKey(const std::string& name)
{
#if defined(_WIN32) || defined(__APPLE__)
    std::string key = name;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return key;
#else
    return name;
#endif
}

// Only file and folder entries are extracted.
std::string typeRefusal(const std::string& archive, const std::string& entry, unsigned type)
{
    if (type == AE_IFLNK)
        return msg::entrySymlink(archive, entry);
    if (type != AE_IFREG && type != AE_IFDIR)
        return msg::entryNotRegular(archive, entry);
    return {};
}

// The output folder, resolved once: symbolic links in the user's own path are followed here, so
// that the protection against links inside the archive applies only below it. Remembers the
// folders it created, so a failure can remove them again.
class OutputFolder {
public:
    explicit OutputFolder(std::string path) : m_display(std::move(path)) {}

    // The folder as the user gave it, for messages.
    const std::string& display() const { return m_display; }
    // The resolved folder, for every file operation.
    const std::string& path() const { return m_path; }

    std::string prepare()
    {
        namespace fs = std::filesystem;
        std::error_code ec;
        std::string existing = io::isAbsolute(m_display) ? m_display : fs::absolute(m_display, ec).string();
        if (ec)
            return msg::outputDirNotCreatable(m_display, ec.value());

        // The names below the deepest folder that exists already.
        std::vector<std::string> missing;
        io::FileInfo info;
        for (;;) {
            if (int rc = io::stat(existing, info))
                return msg::outputDirNotCreatable(m_display, rc);
            if (info.exists)
                break;
            const std::string parent = io::parentOf(existing);
            if (parent == existing)
                return msg::outputDirNotCreatable(m_display, ENOENT);
            missing.push_back(io::fileNameOf(existing));
            existing = parent;
        }
        if (!info.isDirectory)
            return missing.empty() ? msg::outputDirNotDirectory(m_display)
                                   : msg::outputDirNotCreatable(m_display, ENOTDIR);
        m_path = fs::canonical(fs::path(existing), ec).string();
        if (ec)
            return msg::outputDirNotCreatable(m_display, ec.value());

        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            if (*it == ".")
                continue;
            if (*it == "..") {
                m_path = io::parentOf(m_path);
                continue;
            }
            m_path = io::join(m_path, *it);
            if (int rc = io::makeDirectory(m_path, 0777))
                return msg::outputDirNotCreatable(m_display, rc);
            m_created.push_back(m_path);
        }
        return {};
    }

    void removeCreated()
    {
        for (auto it = m_created.rbegin(); it != m_created.rend(); ++it)
            io::removeDirectory(*it);
        m_created.clear();
    }

private:
    std::string m_display;
    std::string m_path;
    std::vector<std::string> m_created;
};

class Extraction {
public:
    Extraction(std::string archivePath, OutputFolder& output, std::int64_t entries)
        : m_archivePath(std::move(archivePath)), m_output(output), m_expected(entries)
    {
    }

    ~Extraction()
    {
        if (!m_staging.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(std::filesystem::path(m_staging), ec);
        }
    }

    std::string run(archive* in)
    {
        // Everything lands in a staging folder first, and only a complete extraction is moved into
        // place, so that a failure half way leaves nothing behind.
        m_staging = io::join(m_output.path(), temp::stagingName());
        if (int rc = io::makeDirectory(m_staging, 0700)) {
            m_staging.clear();
            return msg::outputNotWritable(m_output.display(), rc);
        }
        // Held until the staging folder is gone; without lock support the process id in its name
        // still protects it.
        if (io::openForLock(m_staging, m_stagingLock) == 0)
            io::lockExclusive(m_stagingLock);

        std::unique_ptr<archive, WriteDeleter> disk(archive_write_disk_new());
        if (!disk || archive_write_disk_set_options(disk.get(),
                                                    ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                                        ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                        ARCHIVE_EXTRACT_NO_OVERWRITE) != ARCHIVE_OK)
            return msg::internalError("Ausgabe auf den Datenträger nicht verfügbar");

        for (;;) {
            archive_entry* entry = nullptr;
            int r = archive_read_next_header(in, &entry);
            if (r == ARCHIVE_EOF)
                break;
            if (r == ARCHIVE_WARN && entry) {
                // Local and central headers disagree, or a name does not convert.
                const char* name = archive_entry_pathname(entry);
                return msg::entryHeaderCorrupt(m_archivePath, entryNameAsUtf8(name ? name : ""));
            }
            if (r != ARCHIVE_OK)
                return readFailure();
            ++m_yielded;
            if (std::string text = extractEntry(in, disk.get(), entry); !text.empty())
                return text;
        }
        // The reader silently yields nothing from a directory it cannot follow.
        if (m_yielded != m_expected)
            return msg::archiveIncomplete(m_archivePath, m_expected, m_yielded);
        if (archive_write_close(disk.get()) != ARCHIVE_OK)
            return writeFailure(disk.get(), m_output.display());
        return moveIntoPlace();
    }

    void setReader(const DecryptingReader* reader) { m_reader = reader; }

private:
    // The disk writer sets a system error number when the system refused; without one it refused
    // itself, for a path that would lead through a symbolic link or out of the folder.
    static std::string writeFailure(archive* disk, const std::string& path)
    {
        const int e = archive_errno(disk);
        return e > 0 ? msg::outputNotWritable(path, e) : msg::outputPathRefused(path);
    }

    // The archive's end record was found with this key, so the pass phrase is right and what fails
    // now is the archive itself.
    std::string readFailure() const
    {
        if (m_reader && m_reader->ioError() != 0)
            return msg::archiveUnreadable(m_archivePath, m_reader->ioError());
        return msg::archiveDamaged(m_archivePath);
    }

    // Refuses what would not become a plain file or folder below the output folder.
    std::string check(archive_entry* entry, const std::string& raw, std::string& relative, bool& skip)
    {
        skip = false;
        const auto type = archive_entry_filetype(entry);
        if (archive_entry_hardlink(entry) != nullptr)
            return msg::entryNotRegular(m_archivePath, raw);
        if (std::string text = typeRefusal(m_archivePath, raw, type); !text.empty())
            return text;
        if (archive_entry_is_encrypted(entry))
            return msg::entryEncrypted(m_archivePath, raw);

        switch (normalizeEntryName(raw, relative)) {
        case EntryNameCheck::Outside:
            return msg::entryOutside(m_archivePath, raw);
        case EntryNameCheck::Empty:
            if (type == AE_IFDIR) {
                skip = true;
                return {};
            }
            return msg::entryOutside(m_archivePath, raw);
        case EntryNameCheck::Ok:
            break;
        }

        // Each name once, and no file where another entry needs a folder.
        for (std::size_t pos = relative.find('/'); pos != std::string::npos;
             pos = relative.find('/', pos + 1)) {
            auto [it, added] = m_seen.emplace(nameKey(relative.substr(0, pos)), true);
            if (!added && !it->second)
                return msg::entryDuplicate(m_archivePath, raw);
        }
        auto [it, added] = m_seen.emplace(nameKey(relative), type == AE_IFDIR);
        if (!added && !(it->second && type == AE_IFDIR))
            return msg::entryDuplicate(m_archivePath, raw);
        return {};
    }

    std::string extractEntry(archive* in, archive* disk, archive_entry* entry)
    {
        const char* rawName = archive_entry_pathname(entry);
        const std::string raw = entryNameAsUtf8(rawName ? rawName : "");
        std::string relative;
        bool skip = false;
        if (std::string text = check(entry, raw, relative, skip); !text.empty())
            return text;
        if (skip)
            return {};

        const bool directory = archive_entry_filetype(entry) == AE_IFDIR;
        const std::string finalPath = io::join(m_output.display(), relative);
        const bool sizeKnown = archive_entry_size_is_set(entry);
        const std::int64_t declared = archive_entry_size(entry);
        archive_entry_copy_pathname(entry, io::join(m_staging, relative).c_str());
        // Ordinary permissions, whatever the archive says; the user's umask applies on top.
        archive_entry_set_perm(entry, directory ? 0755 : ((archive_entry_perm(entry) & 0111) ? 0755 : 0644));
        archive_entry_set_uid(entry, 0);
        archive_entry_set_gid(entry, 0);
        // The disk writer would cut or pad the file to the declared size; the comparison below
        // turns a mismatch into what it is, a damaged entry.
        archive_entry_unset_size(entry);
        if (archive_write_header(disk, entry) != ARCHIVE_OK)
            return writeFailure(disk, finalPath);

        if (!directory) {
            std::int64_t length = 0;
            for (;;) {
                const void* data = nullptr;
                size_t size = 0;
                la_int64_t offset = 0;
                int r = archive_read_data_block(in, &data, &size, &offset);
                if (r == ARCHIVE_EOF)
                    break;
                if (r != ARCHIVE_OK) {
                    // A bad CRC or broken compressed data: the content must not be trusted.
                    if (m_reader && m_reader->ioError() != 0)
                        return msg::archiveUnreadable(m_archivePath, m_reader->ioError());
                    return msg::entryCorrupt(m_archivePath, raw);
                }
                if (archive_write_data_block(disk, data, size, offset) != ARCHIVE_OK)
                    return writeFailure(disk, finalPath);
                length = std::max<std::int64_t>(length, offset + static_cast<std::int64_t>(size));
            }
            if (sizeKnown && length != declared)
                return msg::entryCorrupt(m_archivePath, raw);
        }
        if (archive_write_finish_entry(disk) != ARCHIVE_OK)
            return writeFailure(disk, finalPath);
        return {};
    }

    std::string moveIntoPlace()
    {
        namespace fs = std::filesystem;
        std::vector<std::string> names;
        std::error_code ec;
        for (fs::directory_iterator it(fs::path(m_staging), ec); !ec && it != fs::directory_iterator();
             it.increment(ec))
            names.push_back(it->path().filename().string());
        if (ec)
            return msg::outputNotWritable(m_output.display(), ec.value());

        for (const auto& name : names) {
            if (fs::exists(fs::symlink_status(fs::path(io::join(m_output.path(), name)), ec)))
                return msg::outputExists(m_output.display(), name);
        }
        std::vector<std::string> moved;
        for (const auto& name : names) {
            const std::string to = io::join(m_output.path(), name);
            if (int rc = io::renameNoReplace(io::join(m_staging, name), to)) {
                for (const auto& back : moved)
                    io::renameNoReplace(io::join(m_output.path(), back), io::join(m_staging, back));
                return rc == EEXIST ? msg::outputExists(m_output.display(), name)
                                    : msg::outputNotWritable(io::join(m_output.display(), name), rc);
            }
            moved.push_back(name);
        }
        io::removeDirectory(m_staging);
        m_staging.clear();
        return {};
    }

    std::string m_archivePath;
    OutputFolder& m_output;
    const std::int64_t m_expected;
    std::int64_t m_yielded = 0;
    const DecryptingReader* m_reader = nullptr;
    std::string m_staging;
    io::File m_stagingLock;
    std::map<std::string, bool> m_seen; // name -> is a folder
};

} // namespace

std::string unpack(const std::string& archivePath, const std::string& outputDir,
                   const std::string& passPhrase)
{
    if (archivePath.empty())
        return msg::noArchivePath();
    if (outputDir.empty())
        return msg::noOutputDir();
    if (passPhrase.empty())
        return msg::noPassPhrase();
    if (!isUsablePassPhrase(passPhrase))
        return msg::passPhraseInvalid(archivePath);

    io::FileInfo info;
    if (int rc = io::stat(archivePath, info))
        return msg::archiveUnreadable(archivePath, rc);
    if (!info.exists)
        return msg::archiveMissing(archivePath);
    if (info.isDirectory)
        return msg::archiveUnreadable(archivePath, EISDIR);

    DecryptingReader reader;
    switch (reader.open(archivePath, passPhrase)) {
    case DecryptingReader::OpenResult::Ok:
        break;
    case DecryptingReader::OpenResult::IoError:
        return msg::archiveUnreadable(archivePath, reader.ioError());
    case DecryptingReader::OpenResult::NotEncrypted:
    case DecryptingReader::OpenResult::WrongKey:
        return msg::notDecryptable(archivePath);
    }

    // Valid padding alone is no proof of the right key (one wrong key in 256 gives it); a ZIP end
    // record in the decrypted content is. From there on every failure is damage to the archive.
    ZipDirectory directory;
    const auto scanned = directory.scan(
        reader.size(), [&](std::int64_t offset, void* buffer, std::size_t n) { return reader.readAt(offset, buffer, n); },
        [&](const ZipDirectory::Entry& entry) -> std::string {
            if (entry.utf8Flag && !isValidUtf8(entry.rawName))
                return msg::entryNameInvalid(archivePath, withReplacementCharacters(entry.rawName));
            // Only archives made on Unix carry file types.
            if (entry.system != 3 || ((entry.external >> 16) & AE_IFMT) == 0)
                return {};
            const std::string name = entry.utf8Flag ? entry.rawName : entryNameAsUtf8(entry.rawName);
            return typeRefusal(archivePath, name, (entry.external >> 16) & AE_IFMT);
        });
    if (reader.ioError() != 0)
        return msg::archiveUnreadable(archivePath, reader.ioError());
    switch (scanned) {
    case ZipDirectory::Result::Ok:
        break;
    case ZipDirectory::Result::NoEnd:
        return msg::notDecryptable(archivePath);
    case ZipDirectory::Result::Damaged:
        return msg::archiveDamaged(archivePath);
    case ZipDirectory::Result::Incomplete:
        return msg::archiveIncomplete(archivePath, directory.promised, directory.found);
    case ZipDirectory::Result::Refused:
        return directory.refusal;
    }
    reader.seek(0, SEEK_SET);

    // The central directory is the authority: it is what lets archives with data descriptors,
    // Zip64 records and streamed entries from any ZIP writer be read reliably.
    std::unique_ptr<archive, ReadDeleter> in;
    if (directory.found > 0) {
        in.reset(archive_read_new());
        if (!in || archive_read_support_format_zip_seekable(in.get()) != ARCHIVE_OK ||
            archive_read_set_seek_callback(in.get(), seekDecrypted) != ARCHIVE_OK)
            return msg::internalError("ZIP-Eingabe nicht verfügbar");
        if (archive_read_open2(in.get(), &reader, nullptr, readDecrypted, nullptr, nullptr) != ARCHIVE_OK) {
            if (reader.ioError() != 0)
                return msg::archiveUnreadable(archivePath, reader.ioError());
            return msg::archiveDamaged(archivePath);
        }
    }

    OutputFolder output(withoutTrailingSeparators(outputDir));
    std::string text = output.prepare();
    if (!text.empty()) {
        output.removeCreated();
        return text;
    }
    temp::removeDeadTemporaries(output.path());
    // An archive without entries is valid and unpacks to nothing.
    if (!in)
        return {};
    {
        Extraction extraction(archivePath, output, directory.found);
        extraction.setReader(&reader);
        text = extraction.run(in.get());
    }
    if (!text.empty())
        output.removeCreated();
    return text;
}

} // namespace ostrand
