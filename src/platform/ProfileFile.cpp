#include "platform/ProfileFile.h"

#include <QFile>
#include <QSaveFile>

#include "platform/FileSystem.h"

// Only the narrow (UTF-8) interface is used, so no wide-character converter is needed.
#define SI_NO_CONVERSION
// Debian's header keeps the template bodies behind this switch; this is the only user.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace tolvane {

// CSimpleIniA compares section and key names without regard to case (CSimpleIniCaseA would not).
struct ProfileFile::Ini : CSimpleIniA {};

ProfileFile::ProfileFile(QString path) : m_path(std::move(path)), m_ini(std::make_unique<Ini>())
{
    m_ini->SetUnicode(true);
    m_ini->SetQuotes(false);
    m_ini->SetMultiLine(false);
    m_ini->SetSpaces(false);
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.readAll();
        m_ini->LoadData(data.constData(), static_cast<size_t>(data.size()));
    }
}

ProfileFile::~ProfileFile() = default;

QString ProfileFile::read(const QString& key, const QString& section, const QString& defaultValue) const
{
    const QByteArray s = section.toUtf8();
    const QByteArray k = key.toUtf8();
    const char* value = m_ini->GetValue(s.constData(), k.constData(), nullptr);
    return value ? QString::fromUtf8(value) : defaultValue;
}

bool ProfileFile::write(const QString& key, const QString& section, const QString& value, QString* error)
{
    const QByteArray s = section.toUtf8();
    const QByteArray k = key.toUtf8();
    const QByteArray v = value.toUtf8();
    if (m_ini->SetValue(s.constData(), k.constData(), v.constData()) < 0) {
        if (error)
            *error = QStringLiteral("Zu wenig Speicherplatz");
        return false;
    }
    m_unsaved = true;
    return save(error);
}

bool ProfileFile::flush(QString* error)
{
    return !m_unsaved || save(error);
}

bool ProfileFile::save(QString* error)
{
    std::string data;
    if (m_ini->Save(data, false) < 0) {
        if (error)
            *error = QStringLiteral("Zu wenig Speicherplatz");
        return false;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        || !fs::writeFully(file, data.data(), qint64(data.size())) || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    m_unsaved = false;
    return true;
}

} // namespace tolvane
