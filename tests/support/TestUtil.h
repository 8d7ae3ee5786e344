#pragma once

#include <QByteArray>
#include <QString>

namespace tolvane::testutil {

QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& data);
QByteArray fromHex(const char* hex);
// A file of tests/data.
QString dataFile(const QString& name);

} // namespace tolvane::testutil
