#include "output/ZTRenderingEnvironment.h"
#include "ui/main/ZTInterfaceTranslation.h"

#include <QApplication>

#include <memory>

// Views need a QApplication; the output layer under them lays pages out with the web engine.
std::unique_ptr<QCoreApplication> tolvanaCreateTestApplication(int &argc, char **argv)
{
    ZTRenderingEnvironment::prepare();
    auto application = std::make_unique<QApplication>(argc, argv);
    // As the program does: Qt's own dialogue texts in Polish.
    ZTInterfaceTranslation::install(*application);
    return application;
}
