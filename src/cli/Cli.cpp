#include "Cli.h"

namespace tolvane::cli {

int run(const QStringList& arguments)
{
    return arguments.size() > 1 ? Failed : Usage;
}

} // namespace tolvane::cli
