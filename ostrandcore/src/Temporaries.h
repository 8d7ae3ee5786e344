#pragma once

#include <string>

// Names of the temporaries that Pack and UnPack create, and the removal of those a dead run left.
//
//   <archive>.zip.3des.<pid>-<16 hex>.tmp   Pack's output until the final rename
//   .ostrand-<pid>-<16 hex>.tmp/            UnPack's staging folder inside the output folder
//
// The owner holds an flock lock on its temporary while it runs. A temporary is removed only when its
// process id names no running process and its lock can be taken, so a live run of another process,
// or of another thread of this one, keeps its temporaries.
namespace ostrand::temp {

std::string archiveTempName(const std::string& archive);
std::string stagingName();

// Removes what dead runs left directly in dir. Failures are ignored: a leftover that cannot be removed
// now does no harm, and the next run tries again.
void removeDeadTemporaries(const std::string& dir);

} // namespace ostrand::temp
