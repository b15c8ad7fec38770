#pragma once

// What the commands that work on a company's data share: the open company, its save, the
// refusal of bad input and the reading of JSON descriptions.
#include "CliCommand.h"

#include "app/ZTAppController.h"
#include "platform/Decimal.h"
#include "platform/NamedException.h"

#include <QJsonObject>

#include <optional>

class ManagedObject;
class ManagedObjectContext;
class ZTDocument;

// A refusal of bad input: a Polish message, exit 1.
struct CliInputError
{
    QString message;
};

Error cliInputError(const QString &message);

// The active company opened as the window opens it.
class CliSession
{
public:
    CliSession();

    ZTAppController &controller() { return m_controller; }
    ManagedObjectContext &context() { return *m_context; }

    // A stored identity ("Entity/p12" or "p12" or "12") of the entity; else, for documents, an
    // issued document's number. Throws CliInputError when there is none.
    ManagedObject *findObject(const QString &entity, const QString &ref);
    ZTDocument *findDocument(const QString &ref);

    // The window's save: synchronous, and a failure leaves nothing half-saved.
    bool save(Error &error);

private:
    ZTAppController m_controller;
    ManagedObjectContext *m_context = nullptr;
    Error m_saveError;
};

// Runs a command's work, turning refusals into failures with their message.
template <class Work> CliResult cliGuarded(Work work)
{
    try {
        return work();
    } catch (const CliInputError &e) {
        return CliResult::failed(cliInputError(e.message));
    } catch (const NamedException &e) {
        return CliResult::failed(cliInputError(e.reason()));
    }
}

// A decimal from JSON: a number or a text ("12,50" and "12.50" alike); a trailing "%" divides
// by 100. Missing or null gives none; anything else is refused naming the field.
std::optional<Decimal> jsonDecimal(const QJsonValue &value, const QString &field);

// "--json PATH" taken out of the arguments; false when missing.
bool takeJsonOption(QStringList &args, QString &path);
// A JSON object from a file, or from standard input for "-". `subject` names it in the
// refusal ("Opis dokumentu").
QJsonObject readJsonObject(const QString &path, const QString &subject = QStringLiteral("Opis"));
