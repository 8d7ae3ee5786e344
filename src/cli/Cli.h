#pragma once

#include <QStringList>

namespace tolvane::cli {

// Exit codes of tolvane-cli.
enum ExitCode { Success = 0, Failed = 1, Usage = 2 };

// Runs the command line given as arguments (arguments[0] is the program).
int run(const QStringList& arguments);
// Runs the command line as the process got it. Every argument has to be valid text in the
// system's encoding: decoding would replace other bytes, and a file name would then name no
// file. Such an argument is refused with a message that shows its bytes.
int run(int argc, char* argv[]);

} // namespace tolvane::cli
