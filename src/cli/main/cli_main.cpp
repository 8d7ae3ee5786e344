#include "cli/Cli.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    return tolvane::cli::run(QCoreApplication::arguments());
}
