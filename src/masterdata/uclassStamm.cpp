#include "masterdata/uclassStamm.h"

#include "common/Ansi.h"
#include "common/xProcs.h"
#include "masterdata/KeyFiles.h"
#include "platform/Dialogs.h"
#include "platform/FileError.h"
#include "platform/FileSystem.h"

#include <QtEndian>

#include <openssl/crypto.h>

#include <cstring>

namespace tolvane {

namespace record {

QString countedString(const QByteArray& block, int offset, int capacity)
{
    // A length beyond the capacity cannot come from our writer; read no further than the field.
    const int length = std::min<int>(static_cast<unsigned char>(block.at(offset)), capacity);
    return fromWindows1252(block.mid(offset + 1, length));
}

void setCountedString(QByteArray& block, int offset, int capacity, const QString& text)
{
    QByteArray bytes = toWindows1252(text.left(capacity));
    bytes.truncate(capacity);
    block[offset] = char(bytes.size());
    std::memset(block.data() + offset + 1, 0, size_t(capacity));
    std::memcpy(block.data() + offset + 1, bytes.constData(), size_t(bytes.size()));
}

double dateValue(const QByteArray& block, int offset)
{
    const quint64 bits = qFromLittleEndian<quint64>(block.constData() + offset);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void setDateValue(QByteArray& block, int offset, double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian<quint64>(bits, block.data() + offset);
}

} // namespace record

void secureWipe(QByteArray& bytes)
{
    if (!bytes.isEmpty())
        OPENSSL_cleanse(bytes.data(), size_t(bytes.size()));
    bytes.clear();
}

TStamm::TStamm(const QString& regNr, const QString& exeName, const QString& keyFilePath, bool& ok,
               Dialogs& dialogs)
    : FExtra1(TStammRec::kExtra1Size, '\0'), FExtra2(TStammRec::kExtra2Size, '\0'),
      FExtra3(TStammRec::kExtra3Size, '\0'), m_dialogs(dialogs)
{
    ok = false;
    FAppDir = fs::directoryOf(exeName);
    FCast = std::make_unique<TCast>();
    if (keyFilePath.isEmpty()) {
        FRegNr = regNr;
        FKey.setRegNr(regNr.left(TStammKey::kRegNrCapacity));
        FKeyFileName = regNr + QStringLiteral(".key");
        FIssued = false;
        ok = true;
    } else {
        ok = ReadKeyFile(keyFilePath);
    }
}

TStamm::~TStamm() = default;

void TStamm::removeStalePlainCopy(const QString& keyPath)
{
    // Earlier versions left a plain copy here while they worked; one may survive a crash.
    const QString stale = keyPath + QStringLiteral(".bkp");
    if (fs::fileExists(stale))
        fs::deleteFile(stale);
}

bool TStamm::DecryptKeyFile(const QString& source, QByteArray& plain)
{
    try {
        QString error;
        FCast->DecryptFromFile(source, plain, error);
        if (!error.isEmpty()) {
            secureWipe(plain);
            m_dialogs.information(error);
            return false;
        }
        return true;
    } catch (...) {
        secureWipe(plain);
        return false;
    }
}

bool TStamm::EncryptKeyFile(const QByteArray& plain, const QString& dest)
{
    QString error;
    FCast->EncryptToFile(plain, dest, error);
    if (!error.isEmpty()) {
        m_dialogs.information(error);
        return false;
    }
    return true;
}

bool TStamm::ReadKeyFile(const QString& keyFilePath)
{
    if (!fs::fileExists(keyFilePath))
        return false;
    removeStalePlainCopy(keyFilePath);

    QByteArray plain;
    if (!DecryptKeyFile(keyFilePath, plain))
        return false;
    TStammRec::Fields fields;
    try {
        fields = TStammRec::parse(plain);
    } catch (const FileError&) {
        secureWipe(plain);
        throw;
    }
    secureWipe(plain);

    if (asciiLower(fs::fileName(keyFilePath)) != asciiLower(fields.keyFileName)) {
        m_dialogs.information(QStringLiteral("Der Key-Dateiname ") + keyFilePath
                              + QStringLiteral(" stimmt nicht mit dem in der Keydatei hinterlegten Dateinamen "
                                               "überein. Der Datenschutz dieser Datei ist nicht mehr "
                                               "gewährleistet. Die unsichere Key-Datei wird aus dem "
                                               "Tolvane-Anwendungsverzeichnis gelöscht."));
        // A single damaged byte in the stored name gets here too, and the pass phrase agreed with
        // the data-receiving body would be lost with the file. So it leaves the application
        // directory the way the key window deletes, into "Deleted Keyfiles", and stays where it
        // is if even that fails.
        keyfiles::retireKeyFile(keyFilePath, FAppDir, m_dialogs, nullptr, keyfiles::FolderFailure::Report);
        return false;
    }

    FDirs = std::move(fields.dirs);
    FKey = std::move(fields.key);
    FExtra1 = std::move(fields.extra1);
    FExtra2 = std::move(fields.extra2);
    FExtra3 = std::move(fields.extra3);
    FRegNr = FKey.RegNr();
    FKeyFileName = fields.keyFileName;
    FIssued = fields.issued;
    return true;
}

TStammRec::Fields TStammRec::parse(const QByteArray& plain)
{
    if (plain.size() < kSize)
        throw FileError(FileError::EndOfFile);
    Fields fields;
    fields.keyFileName = record::countedString(plain, kKeyFileName, kKeyFileNameCapacity);
    fields.dirs = TStammDirs(plain.mid(kDirs, TStammDirs::kSize));
    fields.key = TStammKey(plain.mid(kKey, TStammKey::kSize));
    fields.extra1 = plain.mid(kExtra1, kExtra1Size);
    fields.extra2 = plain.mid(kExtra2, kExtra2Size);
    fields.extra3 = plain.mid(kExtra3, kExtra3Size);
    fields.issued = plain.at(kIssuerMark1) != 0 || plain.at(kIssuerMark2) != 0;
    return fields;
}

QByteArray TStamm::buildRecord(const QString& keyFileName, double writeDate) const
{
    QByteArray rec(TStammRec::kSize, '\0');
    rec[TStammRec::kIssued] = FIssued ? 1 : 0;
    record::setCountedString(rec, TStammRec::kKeyFileName, TStammRec::kKeyFileNameCapacity, keyFileName);
    auto put = [&rec](int offset, const QByteArray& block, int size) {
        std::memcpy(rec.data() + offset, block.constData(), size_t(std::min<qsizetype>(block.size(), size)));
    };
    put(TStammRec::kDirs, FDirs.bytes(), TStammDirs::kSize);
    put(TStammRec::kKey, FKey.bytes(), TStammKey::kSize);
    put(TStammRec::kExtra1, FExtra1, TStammRec::kExtra1Size);
    put(TStammRec::kExtra2, FExtra2, TStammRec::kExtra2Size);
    put(TStammRec::kExtra3, FExtra3, TStammRec::kExtra3Size);
    record::setDateValue(rec, TStammRec::kWriteDate, writeDate);
    return rec;
}

bool TStamm::WriteKeyFile(const QString& keyFileName)
{
    QByteArray plain = buildRecord(keyFileName, dateTimeToOleDate(QDateTime::currentDateTime()));
    const QString keyPath = FAppDir + keyFileName;
    removeStalePlainCopy(keyPath);
    const bool encrypted = EncryptKeyFile(plain, keyPath);
    secureWipe(plain);
    if (!encrypted)
        return false;
    if (fs::fileExists(keyPath))
        return true;
    m_dialogs.error(QStringLiteral("Die Key-Datei ") + keyPath
                    + QStringLiteral(" konnte nicht lokal im Anwendungsverzeichnis gespeichert werden."));
    return false;
}

} // namespace tolvane
