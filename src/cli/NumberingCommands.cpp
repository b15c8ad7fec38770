// numbering list / add / set-next: the numbering sequencers of the active company.
#include "CliSession.h"

#include "model/ZTDocument.h"
#include "numbering/ZTDocumentSmartSequencer.h"
#include "platform/ManagedObjectContext.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QJsonObject sequencerJson(const ZTDocumentSmartSequencer *sequencer)
{
    const int kind = sequencer->documentKind().value_or(0);
    return {{QStringLiteral("ref"), sequencer->objectID().objectPart()},
            {QStringLiteral("name"), sequencer->name()},
            {QStringLiteral("format"), sequencer->format()},
            {QStringLiteral("documentKind"), kind},
            {QStringLiteral("documentKindName"), ZTDocument::documentKindsWithNames().value(kind)},
            {QStringLiteral("monthlyReset"), sequencer->monthlyReset()},
            {QStringLiteral("nextValue"), sequencer->nextValue()},
            {QStringLiteral("exampleNextID"), sequencer->exampleNextID()}};
}

int kindArgument(const QString &text)
{
    bool numeric = false;
    const int kind = text.toInt(&numeric);
    if (!numeric || !ZTDocument::isValidKind(kind))
        throw CliInputError{QStringLiteral("Nieznany rodzaj dokumentu %1.").arg(text)};
    return kind;
}

CliResult list(const QStringList &args)
{
    if (args.size() > 1)
        return CliResult::badUsage();
    return cliGuarded([&] {
        const QList<int> kinds = args.isEmpty() ? ZTDocument::documentKinds() : QList<int>{kindArgument(args.first())};
        CliSession session;
        QJsonArray sequencers;
        for (int kind : kinds) {
            for (const ZTDocumentSmartSequencer *s : ZTDocumentSmartSequencer::findAllForDocumentKind(session.context(), kind))
                sequencers.append(sequencerJson(s));
        }
        // A kind that had none got its default one, which is kept.
        Error error;
        if (session.context().hasChanges() && !session.save(error))
            return CliResult::failed(error);
        return CliResult::ok(sequencers);
    });
}

// The sequencer's checks, all of them, in field order.
void checkFields(const QString &name, const QString &format)
{
    Error all;
    Error error;
    if (!ZTDocumentSmartSequencer::validateName(name, error))
        all = error;
    if (!ZTDocumentSmartSequencer::validateFormat(format, error))
        all = all.isNull() ? error : Error::combined(all, error);
    if (!all.isNull())
        throw all;
}

CliResult add(const QStringList &arguments)
{
    QStringList args = arguments;
    QString path;
    if (!takeJsonOption(args, path) || !args.isEmpty())
        return CliResult::badUsage();
    return cliGuarded([&] {
        const QJsonObject fields = readJsonObject(path, QStringLiteral("Opis numeracji"));
        const QJsonValue kindValue = fields.value(QStringLiteral("documentKind"));
        const int kind = kindValue.isDouble() ? kindValue.toInt() : 0;
        if (!ZTDocument::isValidKind(kind))
            throw CliInputError{QStringLiteral("Nieznany rodzaj dokumentu %1.").arg(kindValue.toVariant().toString())};
        const QString name = fields.value(QStringLiteral("name")).toString();
        const QString format = fields.value(QStringLiteral("format")).toString();
        try {
            checkFields(name, format);
        } catch (const Error &error) {
            return CliResult::failed(error);
        }
        CliSession session;
        ZTDocumentSmartSequencer *sequencer = ZTDocumentSmartSequencer::createWithFormat(
            session.context(), format, name, kind, fields.value(QStringLiteral("monthlyReset")).toBool());
        Error error;
        if (!session.save(error))
            return CliResult::failed(error);
        return CliResult::ok(sequencerJson(sequencer));
    });
}

CliResult setNext(const QStringList &args)
{
    if (args.size() != 2)
        return CliResult::badUsage();
    return cliGuarded([&] {
        Error error;
        if (!ZTDocumentSmartSequencer::validateNextValue(args.at(1), error))
            return CliResult::failed(error);
        CliSession session;
        auto *sequencer = dynamic_cast<ZTDocumentSmartSequencer *>(
            session.findObject(QStringLiteral("DocumentSmartSequencer"), args.first()));
        if (!sequencer || sequencer->removed())
            throw CliInputError{QStringLiteral("Nie ma numeracji %1.").arg(args.first())};
        bool fits = false;
        const int next = args.at(1).toInt(&fits);
        if (!fits)
            return CliResult::failed(cliInputError(QStringLiteral("Numer jest nieprawidłowy")));
        sequencer->setNextValue(next);
        if (!session.save(error))
            return CliResult::failed(error);
        return CliResult::ok(sequencerJson(sequencer));
    });
}

const CliCommandRegistration registration{
    {{QStringLiteral("numbering"), QStringLiteral("list")}, QStringLiteral("[KIND]"),
     QStringLiteral("lists the numbering sequencers, of one document kind or of all"), list},
    {{QStringLiteral("numbering"), QStringLiteral("add")}, QStringLiteral("--json FILE|-"),
     QStringLiteral("adds a numbering sequencer (name, format, documentKind, monthlyReset)"), add},
    {{QStringLiteral("numbering"), QStringLiteral("set-next")}, QStringLiteral("REF N"),
     QStringLiteral("sets the number the next document of the current period gets"), setNext},
};

} // namespace
