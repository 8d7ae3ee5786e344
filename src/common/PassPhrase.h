#pragma once

#include <QByteArray>
#include <QString>

namespace tolvane {

// A pass phrase in the form the packing library gets it: Windows-1252 bytes on every platform.
// The key record holds the pass phrase in Windows-1252, and the data-receiving body derives the
// archive key from exactly those bytes, so any other encoding (UTF-8 here) would make archives
// it cannot open.
struct PassPhraseBytes {
    QByteArray bytes; // only meaningful when error is empty
    QString error;    // why the pass phrase cannot be used, for the user; empty when it can
    bool ok() const { return error.isEmpty(); }
};

// Checks and converts in one step, so nothing converts without the check: a character that
// Windows-1252 cannot hold (it would become "?") or a control character (U+0000 to U+001F,
// U+007F, U+0080 to U+009F) refuses the pass phrase, and error names the first one.
PassPhraseBytes passPhraseBytes(const QString& passPhrase);

} // namespace tolvane
