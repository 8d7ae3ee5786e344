#pragma once

#include <QString>

namespace tolvane {

class Dialogs;

// The names of the files the data-receiving body sends back, and the folders made for them:
//   answer file  "a-" + registration number + "-" + transaction number + ".zip.3des"
//   news file    "n-" + registration number + "-" + description + ".zip.3des"
// A name is examined lower-cased (ASCII letters only).

// The answer and news name rules, in order; the first rule that fails is shown in an
// information box, and the result is false.
bool CheckAnswerFileName(const QString& fileName, Dialogs& dialogs);
bool CheckNewsFileName(const QString& fileName, Dialogs& dialogs);

// The registration number of a name that passed its rules, lower-cased as the key records hold it.
QString regNrOfFileName(const QString& fileName);

// The news file a participant sends: "n-" + regNr + "-" + the description with every "-" made "_".
QString newsFileBaseName(const QString& regNr, const QString& description);
QString newsFileName(const QString& regNr, const QString& description);

// The output or archive folder for the file fileName in dir (which ends with a separator):
// dir + "v_" + fileName, or with "_" + k for the smallest k whose folder does not exist yet.
// Without a trailing separator; the caller creates it.
QString FreeFolderPath(const QString& dir, const QString& fileName);

} // namespace tolvane
