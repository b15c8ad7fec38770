#include "CliApplication.h"

#include "output/ZTRenderingEnvironment.h"
#include "platform/ProcessSetup.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>

int main(int argc, char **argv)
{
    prepareProcessEnvironment();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Laying pages out needs the web engine and so a GUI application (offscreen without a
    // display); every other command stays a plain core application.
    std::unique_ptr<QCoreApplication> app;
    if (cliCommandNeedsRendering(arguments)) {
        ZTRenderingEnvironment::prepare();
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    return CliApplication(app->arguments()).run();
}
