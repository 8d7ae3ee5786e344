#pragma once

#include <QString>

#include <memory>

namespace tolvane {

// A settings file with the rules of a Windows profile file: sections and keys ignore letter
// case, values are stored as they are (no escaping, no quoting). Every write is saved at once,
// atomically, so a crash never leaves a half-written file.
class ProfileFile {
public:
    explicit ProfileFile(QString path);
    ~ProfileFile();
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    const QString& path() const { return m_path; }

    // Key before section, as in ReadSetting and WriteSetting.
    QString read(const QString& key, const QString& section, const QString& defaultValue) const;
    // False (with the reason in error) when the file could not be saved.
    bool write(const QString& key, const QString& section, const QString& value, QString* error = nullptr);
    // Saves what a failed write could not save; nothing to do otherwise.
    bool flush(QString* error = nullptr);

private:
    QString m_path;
    bool save(QString* error);

    struct Ini;
    std::unique_ptr<Ini> m_ini;
    bool m_unsaved = false; // a write whose save failed, retried by flush()
};

} // namespace tolvane
