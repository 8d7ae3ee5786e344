#include "cli/Cli.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The arguments as bytes: QCoreApplication::arguments() would replace what does not decode.
    return tolvane::cli::run(argc, argv);
}
