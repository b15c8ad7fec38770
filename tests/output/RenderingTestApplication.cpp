#include "output/ZTRenderingEnvironment.h"

#include <QGuiApplication>

#include <memory>

// Pages are laid out by the web engine, which needs a QGuiApplication.
std::unique_ptr<QCoreApplication> tolvanaCreateTestApplication(int &argc, char **argv)
{
    ZTRenderingEnvironment::prepare();
    return std::make_unique<QGuiApplication>(argc, argv);
}
