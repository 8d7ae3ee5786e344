#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// Helpers shared by the packing library's tests: calls through the library's exports, fixture trees
// and the standard tools (openssl, zip, unzip, python3) that the archives must interoperate with.
namespace ostrandtest {

// Pack and UnPack with Qt strings; the result text as the library returned it.
QString pack(const QStringList& paths, const QString& archiveBase, const QString& passPhrase);
QString unpack(const QString& archivePath, const QString& outputDir, const QString& passPhrase);

// Deterministic content: 't' CSV-like text, 'x' XML-like text, 'r' pseudo-random bytes, 'z' zeros.
QByteArray content(const QString& seed, qint64 size, char kind);
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// Builds a tree below root from specs "relative/path:size:kind", or "relative/dir/" for a folder.
void buildTree(const QString& root, const QStringList& specs);
// The tree most interoperability tests use: UTF-8 names, an empty file, nested and empty folders,
// text and incompressible data.
QStringList sampleTreeSpecs();

// Every entry below root, hidden ones included: "dir/" for folders, the content for files.
QMap<QString, QByteArray> snapshot(const QString& root);
// Empty when equal, otherwise a readable description of the first differences.
QString compareTrees(const QMap<QString, QByteArray>& expected, const QMap<QString, QByteArray>& actual);

struct ProcessResult {
    bool started = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    bool ok() const { return started && exitCode == 0; }
};
bool hasTool(const QString& name);
// Runs a program with a UTF-8 locale, optionally in workDir, with stdoutFile as its output and with
// further environment entries "NAME=value".
ProcessResult run(const QString& program, const QStringList& args, const QString& workDir = {},
                  const QString& stdoutFile = {}, const QStringList& extraEnv = {});

// A tmpfs of the given size ("512k") mounted on dir (created if missing) while the object lives:
// a small disk to fill. Not mounted where that is not possible (not Linux, not root).
class SmallDisk {
public:
    SmallDisk(const QString& dir, const QString& size);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return m_mounted; }

private:
    QString m_dir;
    bool m_mounted = false;
};

// openssl enc in exactly the container format of the library.
ProcessResult opensslEncrypt(const QString& in, const QString& out, const QString& passPhrase);
ProcessResult opensslDecrypt(const QString& in, const QString& out, const QString& passPhrase);

// The helper script that writes ZIP files with Python's zipfile.
QString makeZipScript();

} // namespace ostrandtest
