#include "ZTInterfaceTranslation.h"

#include "platform/ZTLog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ZTInterfaceTranslation {

bool install(QCoreApplication &application)
{
    auto *translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::Polish, QLocale::Poland), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        ZTLOG(QStringLiteral("Qt's Polish texts are not installed; its dialogues stay in English"));
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace ZTInterfaceTranslation
