#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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
};
bool writeKeyFile(const QString& appDir, const QString& regNr, const KeySpec& spec = {});

// Runs the built tolvane-cli with args and input on stdin; code -1 when it did not finish.
struct CliResult {
    int code = -1;
    QString out;
    QString err;
};
CliResult runCli(const QStringList& args, const QByteArray& input = {});

} // namespace tolvane::testutil
