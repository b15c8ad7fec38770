// settings get KEY / settings set KEY JSON-VALUE: the current settings, as the program reads
// them (the user's value, else the factory value).
#include "CliCommand.h"

#include "platform/JsonValue.h"
#include "platform/SettingsStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

QJsonObject keyAndValue(const QString &key)
{
    return {{QStringLiteral("key"), key},
            {QStringLiteral("value"), JsonValue::fromVariant(SettingsStore::standard().value(key))}};
}

CliResult get(const QStringList &args)
{
    if (args.size() != 1)
        return CliResult::badUsage();
    return CliResult::ok(keyAndValue(args.first()));
}

CliResult set(const QStringList &args)
{
    if (args.size() != 2)
        return CliResult::badUsage();
    const QString &key = args[0];
    // Wrapped in an array so that plain scalars ("14", "true", "\"Przelew\"") parse too.
    QJsonParseError parseError{};
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray("[") + args[1].toUtf8() + QByteArray("]"), &parseError);
    if (parseError.error != QJsonParseError::NoError || doc.array().size() != 1) {
        return CliResult::failed(Error::withMessage(
            QStringLiteral("Wartość „%1” nie jest poprawnym zapisem JSON.").arg(args[1])));
    }
    SettingsStore &store = SettingsStore::standard();
    // null removes the user's value, so that the factory value applies again.
    const QVariant value = JsonValue::toVariant(doc.array().first());
    if (!store.setValue(key, value)) {
        return CliResult::failed(Error::withMessage(
            QStringLiteral("Wartości „%1” nie można zapisać w ustawieniach.").arg(args[1])));
    }
    if (!store.synchronize()) {
        return CliResult::failed(Error::withMessage(
            QStringLiteral("Nie można zapisać pliku ustawień %1.").arg(store.filePath())));
    }
    return CliResult::ok(keyAndValue(key));
}

const CliCommandRegistration registration{
    {{QStringLiteral("settings"), QStringLiteral("get")}, QStringLiteral("KEY"),
     QStringLiteral("prints a setting as the program reads it (user value, else factory value)"), get},
    {{QStringLiteral("settings"), QStringLiteral("set")}, QStringLiteral("KEY JSON-VALUE"),
     QStringLiteral("writes a setting; null removes the user's value"), set},
};

} // namespace
