#pragma once

#include "masterdata/uCast.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

namespace tolvane {

class Dialogs;

// Counted strings, date-time values and flags inside a block of bytes that is carried
// verbatim: only the field that is set changes.
namespace record {
QString countedString(const QByteArray& block, int offset, int capacity);
void setCountedString(QByteArray& block, int offset, int capacity, const QString& text);
double dateValue(const QByteArray& block, int offset);
void setDateValue(QByteArray& block, int offset, double value);
} // namespace record

// The directory block of a key record, 816 bytes.
class TStammDirs {
public:
    static constexpr int kSize = 816;
    static constexpr int kDirCapacity = 200;
    enum Dir { RootDir = 1, Export = 202, Antwort = 403, News = 604 };

    TStammDirs() : m_bytes(kSize, '\0') {}
    explicit TStammDirs(const QByteArray& bytes) : m_bytes(bytes) { m_bytes.resize(kSize, '\0'); }
    const QByteArray& bytes() const { return m_bytes; }

    bool DirsChanged() const { return m_bytes.at(0) != 0; }
    void setDirsChanged(bool changed) { m_bytes[0] = changed ? 1 : 0; }
    QString dir(Dir which) const { return record::countedString(m_bytes, which, kDirCapacity); }
    void setDir(Dir which, const QString& path) { record::setCountedString(m_bytes, which, kDirCapacity, path); }
    QString VRootDir() const { return dir(RootDir); }
    QString VExport() const { return dir(Export); }
    QString VAntwort() const { return dir(Antwort); }
    QString VNews() const { return dir(News); }
    double DirsDate() const { return record::dateValue(m_bytes, 808); }
    void setDirsDate(double value) { record::setDateValue(m_bytes, 808, value); }

    bool operator==(const TStammDirs&) const = default;

private:
    QByteArray m_bytes;
};

// The identity block of a key record, 280 bytes.
class TStammKey {
public:
    static constexpr int kSize = 280;
    static constexpr int kRegNrCapacity = 7;
    static constexpr int kDesKeyCapacity = 24;

    TStammKey() : m_bytes(kSize, '\0') {}
    explicit TStammKey(const QByteArray& bytes) : m_bytes(bytes) { m_bytes.resize(kSize, '\0'); }
    const QByteArray& bytes() const { return m_bytes; }

    bool KeyChanged() const { return m_bytes.at(0) != 0; }
    void setKeyChanged(bool changed) { m_bytes[0] = changed ? 1 : 0; }
    QString RegNr() const { return record::countedString(m_bytes, 22, kRegNrCapacity); }
    void setRegNr(const QString& regNr) { record::setCountedString(m_bytes, 22, kRegNrCapacity, regNr); }
    QString DesKey() const { return record::countedString(m_bytes, 141, kDesKeyCapacity); }
    void setDesKey(const QString& key) { record::setCountedString(m_bytes, 141, kDesKeyCapacity, key); }
    double KeyDate() const { return record::dateValue(m_bytes, 272); }
    void setKeyDate(double value) { record::setDateValue(m_bytes, 272, value); }

    bool operator==(const TStammKey&) const = default;

private:
    QByteArray m_bytes;
};

// The layout of the plain 4752-byte record of a key file.
struct TStammRec {
    static constexpr int kSize = 4752;
    static constexpr int kIssued = 0;
    static constexpr int kKeyFileName = 1;
    static constexpr int kKeyFileNameCapacity = 100;
    static constexpr int kDirs = 104;
    static constexpr int kKey = 920;
    static constexpr int kExtra1 = 1200, kExtra1Size = 1032;
    static constexpr int kExtra2 = 2232, kExtra2Size = 1256;
    static constexpr int kExtra3 = 3488, kExtra3Size = 1256;
    static constexpr int kWriteDate = 4744;
    static constexpr int kIssuerMark1 = 1201;
    static constexpr int kIssuerMark2 = 2356;

    // What a reader takes over from a plain record: everything but Issued and WriteDate.
    struct Fields {
        QString keyFileName; // the stored KeyFileName
        TStammDirs dirs;
        TStammKey key;
        QByteArray extra1, extra2, extra3;
        bool issued = false; // from the issuer marks
        bool operator==(const Fields&) const = default;
    };
    // Parses a decrypted record; bytes after the first kSize are ignored. A shorter one raises
    // FileError (end of file).
    static Fields parse(const QByteArray& plain);
};

// One key record in memory: created new, or loaded from its key file, and written back.
// The plain record exists only in memory; key files never lie on disk in plain form.
class TStamm {
public:
    // With an empty keyFilePath a new record for regNr, otherwise the key file at keyFilePath.
    // ok tells whether it worked. A plain record shorter than the fixed size raises FileError
    // (end of file), which the caller handles.
    TStamm(const QString& regNr, const QString& exeName, const QString& keyFilePath, bool& ok, Dialogs& dialogs);
    ~TStamm();
    TStamm(const TStamm&) = delete;
    TStamm& operator=(const TStamm&) = delete;

    bool ReadKeyFile(const QString& keyFilePath);
    // Writes the record as FAppDir + keyFileName, replacing an existing file only once the new
    // one is complete.
    bool WriteKeyFile(const QString& keyFileName);
    // The two cipher steps with their messages; the plain side stays in memory.
    bool DecryptKeyFile(const QString& source, QByteArray& plain);
    bool EncryptKeyFile(const QByteArray& plain, const QString& dest);

    // The plain record as WriteKeyFile writes it (WriteDate set to writeDate).
    QByteArray buildRecord(const QString& keyFileName, double writeDate) const;

    bool FIssued = false;
    QString FRegNr;
    QString FKeyFileName;
    QString FAppDir;
    TStammDirs FDirs;
    TStammKey FKey;
    QByteArray FExtra1;
    QByteArray FExtra2;
    QByteArray FExtra3;

private:
    void removeStalePlainCopy(const QString& keyPath);

    std::unique_ptr<TCast> FCast;
    Dialogs& m_dialogs;
};

// Overwrites plain key material before it is released.
void secureWipe(QByteArray& bytes);

} // namespace tolvane
