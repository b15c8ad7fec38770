#include "CliOutput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

void printJson(const QJsonValue &value)
{
    QByteArray text;
    if (value.isObject()) {
        text = QJsonDocument(value.toObject()).toJson(QJsonDocument::Indented);
    } else if (value.isArray()) {
        text = QJsonDocument(value.toArray()).toJson(QJsonDocument::Indented);
    } else {
        // A scalar: written as the single element of an array, without the brackets.
        text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        text = text.mid(1, text.size() - 2) + '\n';
    }
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    std::fflush(stdout);
}

void printError(const Error &error)
{
    QJsonArray messages;
    for (const QString &m : error.messages())
        messages.append(m);
    printJson(QJsonObject{{QStringLiteral("error"),
                           QJsonObject{{QStringLiteral("domain"), error.domain()},
                                       {QStringLiteral("code"), error.code()},
                                       {QStringLiteral("messages"), messages}}}});
}
