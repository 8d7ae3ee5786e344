#include "Messages.h"

#include <cerrno>

namespace ostrand::msg {

namespace {
std::string q(const std::string& s)
{
    return "\"" + s + "\"";
}
} // namespace

std::string reason(int error)
{
    switch (error) {
    case ENOENT:
        return "Datei oder Verzeichnis nicht gefunden";
    case ENOTDIR:
        return "ein Teil des Pfades ist kein Verzeichnis";
    case EISDIR:
        return "ist ein Verzeichnis";
    case EACCES:
    case EPERM:
        return "Zugriff verweigert";
    case ENOSPC:
        return "nicht genügend Speicherplatz auf dem Datenträger";
#ifdef EDQUOT
    case EDQUOT:
        return "Speicherkontingent überschritten";
#endif
    case EROFS:
        return "der Datenträger ist schreibgeschützt";
    case EIO:
        return "Ein-/Ausgabefehler des Datenträgers";
    case EEXIST:
        return "ist bereits vorhanden";
    case EMFILE:
    case ENFILE:
        return "zu viele geöffnete Dateien";
    case ENAMETOOLONG:
        return "der Pfad ist zu lang";
    case ENOMEM:
        return "nicht genügend Arbeitsspeicher";
    case EFBIG:
        return "die Datei ist zu groß";
    case EBUSY:
        return "die Datei wird von einem anderen Vorgang verwendet";
    case EXDEV:
        return "Verschieben zwischen Datenträgern ist nicht möglich";
    case ELOOP:
        return "zu viele symbolische Verweise";
    default:
        return "Systemfehler " + std::to_string(error);
    }
}

std::string noArchiveBase()
{
    return "Es wurde kein Name für die Archivdatei angegeben.";
}

std::string noPassPhrase()
{
    return "Es wurde kein Passwort angegeben.";
}

std::string noFiles()
{
    return "Es wurden keine Dateien zum Packen angegeben.";
}

std::string passPhraseInvalid(const std::string& archive)
{
    return "Das Passwort für " + q(archive) + " enthält ein Steuerzeichen und kann nicht verwendet werden.";
}

std::string inputNotAbsolute(const std::string& path)
{
    return "Der Pfad " + q(path) +
           " in der Dateiliste ist kein vollständiger Pfad; es werden nur vollständige Pfade gepackt.";
}

std::string invalidInputPath(const std::string& path)
{
    return "Der Pfad " + q(path) + " bezeichnet keine Datei und kein Verzeichnis, das gepackt werden kann.";
}

std::string inputMissing(const std::string& path)
{
    return "Die Datei " + q(path) + " wurde nicht gefunden.";
}

std::string inputUnreadable(const std::string& path, int error)
{
    return "Die Datei " + q(path) + " konnte nicht gelesen werden: " + reason(error) + ".";
}

std::string inputNotRegular(const std::string& path)
{
    return q(path) + " ist weder eine gewöhnliche Datei noch ein Verzeichnis und kann nicht gepackt werden.";
}

std::string inputChanged(const std::string& path)
{
    return "Die Datei " + q(path) + " hat sich während des Packens verändert.";
}

std::string inputSizeUnknown(const std::string& path)
{
    return "Die Datei " + q(path) +
           " gibt ihre Größe nicht an und ist länger als 1 MiB; sie kann nicht gepackt werden.";
}

std::string directoryUnreadable(const std::string& path, int error)
{
    return "Das Verzeichnis " + q(path) + " konnte nicht gelesen werden: " + reason(error) + ".";
}

std::string directoryLoop(const std::string& path)
{
    return "Das Verzeichnis " + q(path) + " enthält sich über einen symbolischen Verweis selbst.";
}

std::string duplicateName(const std::string& name, const std::string& path)
{
    return "Der Name " + q(name) + " kommt im Archiv mehrfach vor (zuletzt durch " + q(path) + ").";
}

std::string nameNotStorable(const std::string& path)
{
    return "Der Name von " + q(path) + " kann nicht in das Archiv übernommen werden.";
}

std::string targetDirMissing(const std::string& dir)
{
    return "Das Zielverzeichnis " + q(dir) + " existiert nicht.";
}

std::string archiveNotWritable(const std::string& archive, int error)
{
    return "Die Archivdatei " + q(archive) + " konnte nicht geschrieben werden: " + reason(error) + ".";
}

std::string noArchivePath()
{
    return "Es wurde keine Archivdatei angegeben.";
}

std::string noOutputDir()
{
    return "Es wurde kein Zielverzeichnis angegeben.";
}

std::string archiveMissing(const std::string& archive)
{
    return "Die Archivdatei " + q(archive) + " wurde nicht gefunden.";
}

std::string archiveUnreadable(const std::string& archive, int error)
{
    return "Die Archivdatei " + q(archive) + " konnte nicht gelesen werden: " + reason(error) + ".";
}

std::string notDecryptable(const std::string& archive)
{
    return "Die Datei " + q(archive) +
           " konnte nicht entschlüsselt werden: falsches Passwort oder beschädigte Datei.";
}

std::string archiveDamaged(const std::string& archive)
{
    return "Die Datei " + q(archive) +
           " ist beschädigt: das Inhaltsverzeichnis des ZIP-Archivs ist fehlerhaft. Es wurde nichts entpackt.";
}

std::string archiveIncomplete(const std::string& archive, long long promised, long long found)
{
    return "Die Datei " + q(archive) + " ist beschädigt: Einträge laut Inhaltsverzeichnis: " +
           std::to_string(promised) + ", davon lesbar: " + std::to_string(found) + ". Es wurde nichts entpackt.";
}

std::string entryCorrupt(const std::string& archive, const std::string& entry)
{
    return "Die Datei " + q(archive) + " ist beschädigt: der Inhalt von " + q(entry) +
           " ist fehlerhaft. Es wurde nichts entpackt.";
}

std::string entryHeaderCorrupt(const std::string& archive, const std::string& entry)
{
    return "Die Datei " + q(archive) + " ist beschädigt: die Angaben zum Eintrag " + q(entry) +
           " sind fehlerhaft. Es wurde nichts entpackt.";
}

std::string entryNameInvalid(const std::string& archive, const std::string& entry)
{
    return "Die Datei " + q(archive) + " ist beschädigt: der Name des Eintrags " + q(entry) +
           " ist als UTF-8 gekennzeichnet, aber kein gültiger UTF-8-Text. Es wurde nichts entpackt.";
}

std::string entryOutside(const std::string& archive, const std::string& entry)
{
    return "Das Archiv " + q(archive) + " enthält den unzulässigen Eintrag " + q(entry) +
           ": er würde außerhalb des Zielverzeichnisses landen. Es wurde nichts entpackt.";
}

std::string entrySymlink(const std::string& archive, const std::string& entry)
{
    return "Das Archiv " + q(archive) + " enthält den unzulässigen Eintrag " + q(entry) +
           ": symbolische Verweise werden nicht entpackt. Es wurde nichts entpackt.";
}

std::string entryNotRegular(const std::string& archive, const std::string& entry)
{
    return "Das Archiv " + q(archive) + " enthält den unzulässigen Eintrag " + q(entry) +
           ": er ist weder eine Datei noch ein Verzeichnis. Es wurde nichts entpackt.";
}

std::string entryDuplicate(const std::string& archive, const std::string& entry)
{
    return "Das Archiv " + q(archive) + " enthält den Eintrag " + q(entry) +
           " mehrfach oder im Widerspruch zu einem anderen Eintrag. Es wurde nichts entpackt.";
}

std::string entryEncrypted(const std::string& archive, const std::string& entry)
{
    return "Das Archiv " + q(archive) + " enthält den mit ZIP-Verschlüsselung geschützten Eintrag " +
           q(entry) + ", der nicht unterstützt wird. Es wurde nichts entpackt.";
}

std::string outputDirNotCreatable(const std::string& dir, int error)
{
    return "Das Zielverzeichnis " + q(dir) + " konnte nicht angelegt werden: " + reason(error) + ".";
}

std::string outputDirNotDirectory(const std::string& dir)
{
    return "Das Zielverzeichnis " + q(dir) + " ist kein Verzeichnis.";
}

std::string outputExists(const std::string& dir, const std::string& name)
{
    return "Im Zielverzeichnis " + q(dir) + " gibt es " + q(name) +
           " bereits; es wird nicht überschrieben. Es wurde nichts entpackt.";
}

std::string outputNotWritable(const std::string& path, int error)
{
    return "Die Datei " + q(path) + " konnte nicht geschrieben werden: " + reason(error) +
           ". Es wurde nichts entpackt.";
}

std::string outputPathRefused(const std::string& path)
{
    return "Die Datei " + q(path) +
           " wurde nicht geschrieben: ihr Pfad führt über einen symbolischen Verweis oder aus dem "
           "Zielverzeichnis hinaus. Es wurde nichts entpackt.";
}

std::string outOfMemory()
{
    return "Nicht genügend Arbeitsspeicher.";
}

std::string internalError(const std::string& detail)
{
    std::string text = "Interner Fehler der Packbibliothek: " + detail;
    if (text.back() != '.')
        text += '.';
    return text;
}

} // namespace ostrand::msg
