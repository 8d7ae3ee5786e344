#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

namespace tolvane::testutil {

QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& data);
QByteArray fromHex(const char* hex);
// A file of tests/data.
QString dataFile(const QString& name);

// A key file written by Tolvane itself for regNr into the application directory appDir.
struct KeySpec {
    QString desKey{};
    double keyDate = 0;     // KeyDate and DirsDate
    QString rootDir{};
    bool issued = false;    // issued by the data-receiving body (pass phrase locked)
    QString fileName{};     // default regNr + ".key"
    QString exportDir{};
    QString newsDir{};
    QString answerDir{};
};
bool writeKeyFile(const QString& appDir, const QString& regNr, const KeySpec& key = {});

// Puts the built packing library into appDir; false when it is not built.
bool installPackingLibrary(const QString& appDir);

// Opens an archive with the standard tools alone (openssl enc, then unzip), the way the
// data-receiving body does: passPhrase are the exact bytes of the pass phrase. Gives every file
// inside by its path in the archive, or nothing when either tool fails.
QMap<QString, QByteArray> openWithStandardTools(const QString& archive, const QByteArray& passPhrase);

// Makes an archive the way the data-receiving body does, with zip and openssl enc alone: the
// files (path inside the archive -> content) encrypted with the exact pass phrase bytes.
bool makeWithStandardTools(const QString& archive, const QMap<QString, QByteArray>& files,
                           const QByteArray& passPhrase);

// Runs run with files limited to bytes, as a full disk would limit them: a write beyond fails
// instead of raising SIGXFSZ.
void withFileSizeLimit(qint64 bytes, const std::function<void()>& run);

// Every plain file below dir with its content, by its path relative to dir.
QMap<QString, QByteArray> filesBelow(const QString& dir);

// Runs the built tolvane-cli with args and input on stdin; code -1 when it did not finish.
struct CliResult {
    int code = -1;
    QString out;
    QString err;
};
CliResult runCli(const QStringList& args, const QByteArray& input = {});

} // namespace tolvane::testutil
