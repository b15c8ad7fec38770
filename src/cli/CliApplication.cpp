#include "CliApplication.h"

#include "CliCommand.h"
#include "CliOutput.h"

#include "app/ZTFactoryDefaults.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/Decimal.h"
#include "platform/SettingsStore.h"
#include "platform/ZTLog.h"

#include <QDateTime>
#include <QJsonObject>

#include <cstdio>

CliApplication::CliApplication(QStringList arguments) : m_arguments(std::move(arguments))
{
    if (!m_arguments.isEmpty())
        m_arguments.removeFirst(); // the program's own name
}

int CliApplication::usage(const QString &message, bool asHelp)
{
    QString text;
    if (!message.isEmpty())
        text += QStringLiteral("tolvana-cli: %1\n").arg(message);
    text += QStringLiteral("usage: tolvana-cli [--data-dir DIR] [--config-dir DIR] [--now ISO-8601] COMMAND …\n");
    text += QStringLiteral("commands:\n");
    for (const CliCommand &c : CliCommandRegistry::instance().commands()) {
        text += QStringLiteral("  ") + QStringLiteral("%1 %2").arg(c.words.join(QLatin1Char(' ')), c.arguments).trimmed();
        text += QStringLiteral("\n      %1\n").arg(c.summary);
    }
    std::fputs(text.toUtf8().constData(), asHelp ? stdout : stderr);
    return asHelp ? 0 : 2;
}

int CliApplication::run()
{
    QStringList args = m_arguments;
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--"))) {
        const QString option = args.takeFirst();
        if (option == QStringLiteral("--version")) {
            printJson(QJsonObject{{QStringLiteral("name"), QStringLiteral("Tolvana")},
                                  {QStringLiteral("version"), QStringLiteral(TOLVANA_VERSION)},
                                  {QStringLiteral("identifier"), AppPaths::applicationIdentifier()}});
            return 0;
        }
        if (option == QStringLiteral("--help"))
            return usage({}, true);
        if (option != QStringLiteral("--data-dir") && option != QStringLiteral("--config-dir")
            && option != QStringLiteral("--now"))
            return usage(QStringLiteral("unknown option %1").arg(option));
        if (args.isEmpty())
            return usage(QStringLiteral("%1 needs a value").arg(option));
        const QString value = args.takeFirst();
        if (option == QStringLiteral("--data-dir")) {
            qputenv("TOLVANA_DATA_DIR", value.toLocal8Bit());
        } else if (option == QStringLiteral("--config-dir")) {
            qputenv("TOLVANA_CONFIG_DIR", value.toLocal8Bit());
        } else {
            const QDateTime now = QDateTime::fromString(value, Qt::ISODateWithMs);
            if (!now.isValid())
                return usage(QStringLiteral("--now needs an ISO 8601 date and time, not %1").arg(value));
            Clock::setFixedNow(now);
        }
    }
    if (args.isEmpty())
        return usage(QStringLiteral("no command given"));

    const CliCommand *command = CliCommandRegistry::instance().find(args);
    if (!command)
        return usage(QStringLiteral("unknown command %1").arg(args.join(QLatin1Char(' '))));
    const QStringList rest = args.mid(command->words.size());

    CliResult result;
    try {
        registerFactoryDefaults(SettingsStore::standard());
        result = command->run(rest);
    } catch (const InternalConsistencyError &e) {
        result = CliResult::failed(Error::withMessage(Error::applicationDomain(), 1, e.description()));
    } catch (const DecimalError &e) {
        result = CliResult::failed(Error::withMessage(Error::applicationDomain(), 2,
                                                      QStringLiteral("Błąd obliczeń: %1").arg(QString::fromUtf8(e.what()))));
    }

    switch (result.kind) {
    case CliResult::Kind::Ok:
        printJson(result.output);
        return 0;
    case CliResult::Kind::Failed:
        printError(result.error);
        return 1;
    case CliResult::Kind::BadUsage:
        std::fputs(QStringLiteral("tolvana-cli: %1\nusage: tolvana-cli %2 %3\n")
                       .arg(result.usageMessage.isEmpty() ? QStringLiteral("wrong arguments") : result.usageMessage,
                            command->words.join(QLatin1Char(' ')), command->arguments)
                       .toUtf8()
                       .constData(),
                   stderr);
        return 2;
    }
    return 1;
}
