#include "fuzz/KeyRecordFuzz.h"

#include "common/PassPhrase.h"
#include "masterdata/StammText.h"
#include "masterdata/uCast.h"
#include "masterdata/uclassStamm.h"
#include "platform/FileError.h"
#include "support/ScriptedDialogs.h"

#include <QStringList>

namespace tolvane::fuzz {

namespace {

QString checkRecord(const QByteArray& plain)
{
    if (plain.size() < TStammRec::kSize) {
        try {
            TStammRec::parse(plain);
        } catch (const FileError& e) {
            return e.code() == FileError::EndOfFile ? QString() : QStringLiteral("short record: ") + e.text();
        }
        return QStringLiteral("a record of %1 bytes was parsed").arg(plain.size());
    }
    const TStammRec::Fields fields = TStammRec::parse(plain);

    // What the store, the key window and the command line show and use of a record.
    const QStringList texts{fields.keyFileName,
                            fields.key.RegNr(),
                            fields.key.DesKey(),
                            fields.dirs.VRootDir(),
                            fields.dirs.VExport(),
                            fields.dirs.VAntwort(),
                            fields.dirs.VNews(),
                            standText(fields.key.KeyDate()),
                            standText(fields.dirs.DirsDate())};
    const int capacities[] = {TStammRec::kKeyFileNameCapacity, TStammKey::kRegNrCapacity,
                              TStammKey::kDesKeyCapacity,      TStammDirs::kDirCapacity,
                              TStammDirs::kDirCapacity,        TStammDirs::kDirCapacity,
                              TStammDirs::kDirCapacity};
    for (int i = 0; i < 7; ++i) {
        if (texts.at(i).size() > capacities[i])
            return QStringLiteral("field %1 is longer than its capacity").arg(i);
    }
    const PassPhraseBytes phrase = passPhraseBytes(fields.key.DesKey());
    if (phrase.ok() && phrase.bytes.size() != fields.key.DesKey().size())
        return QStringLiteral("the pass phrase changed its length in Windows-1252");

    // A save writes every block back as it was read.
    ScriptedDialogs dialogs;
    bool ok = false;
    TStamm rec(QStringLiteral("fz00000"), QStringLiteral("/nirgends/tolvane"), QString(), ok, dialogs);
    rec.FDirs = fields.dirs;
    rec.FKey = fields.key;
    rec.FExtra1 = fields.extra1;
    rec.FExtra2 = fields.extra2;
    rec.FExtra3 = fields.extra3;
    rec.FIssued = fields.issued;
    if (!(TStammRec::parse(rec.buildRecord(fields.keyFileName, 0.0)) == fields))
        return QStringLiteral("writing the record back changed it");
    return {};
}

} // namespace

QString keyRecordInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const QString finding = checkRecord(input); !finding.isEmpty())
        return QStringLiteral("as a record: ") + finding;

    TCast cast;
    const QByteArray plain = cast.decrypt(input);
    if (plain.size() != input.size())
        return QStringLiteral("decrypting changed the length from %1 to %2")
            .arg(input.size())
            .arg(plain.size());
    if (cast.encrypt(plain) != input)
        return QStringLiteral("encrypting the decrypted file does not give it back");
    if (const QString finding = checkRecord(plain); !finding.isEmpty())
        return QStringLiteral("as a key file: ") + finding;
    return {};
}

} // namespace tolvane::fuzz
