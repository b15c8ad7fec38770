#include "CliApplication.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return CliApplication(app.arguments()).run();
}
