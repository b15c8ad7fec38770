#include "ZTRenderingEnvironment.h"

#include <QCoreApplication>
#include <QString>

#include <unistd.h>

namespace ZTRenderingEnvironment {

void prepare()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Without a display (cron, CI, a terminal over ssh) pages are laid out offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Documents need no GPU; the engine's sandbox refuses to start as root.
    QString flags = qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS");
    const auto add = [&flags](const QString &flag) {
        if (!flags.split(QLatin1Char(' '), Qt::SkipEmptyParts).contains(flag))
            flags += (flags.isEmpty() ? QString() : QStringLiteral(" ")) + flag;
    };
    add(QStringLiteral("--disable-gpu"));
    // The engine's older layout code prints our pages a third faster, sheet for sheet the same.
    add(QStringLiteral("--disable-features=LayoutNG"));
    if (::geteuid() == 0) {
        add(QStringLiteral("--no-sandbox"));
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.toUtf8());
}

} // namespace ZTRenderingEnvironment
