#pragma once

#include <string>

// Every text the library hands back to its caller. German, because the application shows them
// to the user as they are.
namespace ostrand::msg {

// German description of a system error number, for the texts below.
std::string reason(int error);

// Pack
std::string noArchiveBase();
std::string noPassPhrase();
std::string noFiles();
std::string passPhraseInvalid(const std::string& archive);
std::string inputNotAbsolute(const std::string& path);
std::string invalidInputPath(const std::string& path);
std::string inputMissing(const std::string& path);
std::string inputUnreadable(const std::string& path, int error);
std::string inputNotRegular(const std::string& path);
std::string inputChanged(const std::string& path);
std::string inputSizeUnknown(const std::string& path);
std::string directoryUnreadable(const std::string& path, int error);
std::string directoryLoop(const std::string& path);
std::string duplicateName(const std::string& name, const std::string& path);
std::string nameNotStorable(const std::string& path);
std::string targetDirMissing(const std::string& dir);
std::string archiveNotWritable(const std::string& archive, int error);

// UnPack
std::string noArchivePath();
std::string noOutputDir();
std::string archiveMissing(const std::string& archive);
std::string archiveUnreadable(const std::string& archive, int error);
std::string notDecryptable(const std::string& archive);
std::string archiveDamaged(const std::string& archive);
std::string archiveIncomplete(const std::string& archive, long long promised, long long found);
std::string entryCorrupt(const std::string& archive, const std::string& entry);
std::string entryHeaderCorrupt(const std::string& archive, const std::string& entry);
std::string entryNameInvalid(const std::string& archive, const std::string& entry);
std::string entryOutside(const std::string& archive, const std::string& entry);
std::string entrySymlink(const std::string& archive, const std::string& entry);
std::string entryNotRegular(const std::string& archive, const std::string& entry);
std::string entryDuplicate(const std::string& archive, const std::string& entry);
std::string entryEncrypted(const std::string& archive, const std::string& entry);
std::string outputDirNotCreatable(const std::string& dir, int error);
std::string outputDirNotDirectory(const std::string& dir);
std::string outputExists(const std::string& dir, const std::string& name);
std::string outputNotWritable(const std::string& path, int error);
std::string outputPathRefused(const std::string& path);

// Both
std::string outOfMemory();
std::string internalError(const std::string& detail);

} // namespace ostrand::msg
