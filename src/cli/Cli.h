#pragma once

#include <QStringList>

namespace tolvane::cli {

// Exit codes of tolvane-cli.
enum ExitCode { Success = 0, Failed = 1, Usage = 2 };

// Runs the command line given as arguments (arguments[0] is the program).
int run(const QStringList& arguments);

} // namespace tolvane::cli
