#pragma once

#include "platform/Error.h"

#include <QJsonValue>
#include <QStringList>

#include <functional>
#include <vector>

// What a command hands back: JSON for stdout, or an error record, or a usage fault.
struct CliResult
{
    enum class Kind { Ok, Failed, BadUsage };
    Kind kind = Kind::Ok;
    QJsonValue output;
    Error error;
    QString usageMessage;

    static CliResult ok(QJsonValue value) { return {Kind::Ok, std::move(value), {}, {}}; }
    static CliResult failed(Error e) { return {Kind::Failed, {}, std::move(e), {}}; }
    static CliResult badUsage(QString message = {}) { return {Kind::BadUsage, {}, {}, std::move(message)}; }
};

// One command of tolvana-cli: the words that select it ("settings get"), the usage of its
// arguments and the work. Commands register themselves with the registry at start.
struct CliCommand
{
    QStringList words;
    QString arguments; // usage of what follows the words, e.g. "KEY JSON-VALUE"
    QString summary;
    std::function<CliResult(const QStringList &args)> run;
};

class CliCommandRegistry
{
public:
    static CliCommandRegistry &instance();
    void add(CliCommand command);
    // The command whose words begin `argv` (the longest such), or null.
    const CliCommand *find(const QStringList &argv) const;
    const std::vector<CliCommand> &commands() const { return m_commands; }

private:
    std::vector<CliCommand> m_commands;
};

// Registers the commands of one file at static-initialisation time.
struct CliCommandRegistration
{
    explicit CliCommandRegistration(std::initializer_list<CliCommand> commands);
};
