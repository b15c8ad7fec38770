#include "CliSession.h"

#include "model/ZTDocument.h"
#include "model/ZTDocumentManager.h"
#include "platform/ManagedObjectContext.h"

#include <QFile>
#include <QJsonDocument>

Error cliInputError(const QString &message)
{
    return Error::withMessage(Error::applicationDomain(), 20, message);
}

CliSession::CliSession()
{
    m_controller.setErrorPresenter([this](const Error &error) { m_saveError = error; });
    m_controller.start();
    m_context = m_controller.managedObjectContext();
    if (!m_context)
        throw CliInputError{QStringLiteral("Nie można otworzyć danych aktywnej firmy.")};
}

ManagedObject *CliSession::findObject(const QString &entity, const QString &ref)
{
    QString key = ref;
    if (key.startsWith(entity + QLatin1Char('/')))
        key = key.mid(entity.size() + 1);
    if (key.startsWith(QLatin1Char('p')))
        key = key.mid(1);
    bool numeric = false;
    const qint64 pk = key.toLongLong(&numeric);
    if (numeric) {
        const ManagedObjectID id(m_context->storeUUID(), entity, pk);
        if (ManagedObject *object = m_context->objectWithID(id); object && object->entity().name() == entity)
            return object;
    }
    return nullptr;
}

ZTDocument *CliSession::findDocument(const QString &ref)
{
    if (auto *document = dynamic_cast<ZTDocument *>(findObject(QStringLiteral("Document"), ref)))
        return document;
    if (ZTDocument *document = m_controller.documentManager().documentWithDocumentID(ref))
        return document;
    throw CliInputError{QStringLiteral("Nie ma dokumentu %1.").arg(ref)};
}

bool CliSession::save(Error &error)
{
    m_saveError = Error();
    m_controller.saveCoreDataContext(true, true, true);
    if (!m_saveError.isNull()) {
        error = m_saveError;
        return false;
    }
    return true;
}

bool takeJsonOption(QStringList &args, QString &path)
{
    const qsizetype at = args.indexOf(QStringLiteral("--json"));
    if (at < 0 || at + 1 >= args.size())
        return false;
    path = args.at(at + 1);
    args.remove(at, 2);
    return true;
}

QJsonObject readJsonObject(const QString &path, const QString &subject)
{
    QByteArray data;
    if (path == QStringLiteral("-")) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            throw CliInputError{QStringLiteral("Nie można odczytać standardowego wejścia.")};
        data = in.readAll();
    } else {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            throw CliInputError{QStringLiteral("Nie można otworzyć pliku %1.").arg(path)};
        data = in.readAll();
    }
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(data, &parseError);
    if (!json.isObject())
        throw CliInputError{
            QStringLiteral("%1 nie jest poprawnym obiektem JSON (%2).").arg(subject, parseError.errorString())};
    return json.object();
}

std::optional<Decimal> jsonDecimal(const QJsonValue &value, const QString &field)
{
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    QString text = value.isDouble() ? QString::number(value.toDouble(), 'g', 15) : value.toString().trimmed();
    bool percent = false;
    if (text.endsWith(QLatin1Char('%'))) {
        percent = true;
        text.chop(1);
    }
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    Decimal number;
    if (!(value.isDouble() || value.isString()) || !Decimal::tryParse(text.trimmed(), &number))
        throw CliInputError{QStringLiteral("Pole „%1” nie zawiera liczby.").arg(field)};
    return percent ? number / Decimal(100) : number;
}
