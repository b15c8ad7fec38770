#include "CliApplication.h"

#include "platform/ProcessSetup.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    prepareProcessEnvironment();
    QCoreApplication app(argc, argv);
    return CliApplication(app.arguments()).run();
}
