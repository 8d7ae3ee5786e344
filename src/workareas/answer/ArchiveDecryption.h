#pragma once

#include <QString>

#include <functional>

namespace tolvane {

class WorkAreaServices;

// The per-file steps that answer files and news files share on their way to a readable folder:
// the name rules, the key record of the registration number in the name, the storage directory
// (chosen anew when the record's is missing), the copy of the encrypted file there, and the
// unpacking into a fresh output folder beside it.
class ArchiveDecryption {
public:
    enum class Kind { Answer, News };
    // Where the pass phrase test stands: the answer area's dialog run tests it before the
    // question about an existing copy, the single-file runs after it.
    enum class Order { PassPhraseFirst, CopyQuestionFirst };
    // How the steps ended for one file. Only Unpacked reached the library (whatever it said).
    enum class Outcome { Unpacked, Missing, BadName, NoRecord, NoDirectory, NoPassPhrase, Declined };

    struct Result {
        Outcome outcome = Outcome::BadName;
        QString directory;       // the storage directory used, with a trailing separator
        QString outputFolder;    // the new output folder, without one
        QString errorText;       // what the library said, already shown
        bool callFailed = false; // the library could not be called at all (the bridge said so)
    };

    ArchiveDecryption(WorkAreaServices& services, Kind kind);

    // Answer files are tested for existence first; news files are not.
    Result decrypt(const QString& path, Order order);

    // Told the storage directory once it is settled, and the output folder once it exists.
    std::function<void(const QString& directory)> onDirectory;
    std::function<void(const QString& outputFolder)> onOutputFolder;

private:
    WorkAreaServices& m_services;
    Kind m_kind;
};

} // namespace tolvane
