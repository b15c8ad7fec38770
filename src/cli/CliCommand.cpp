#include "CliCommand.h"

CliCommandRegistry &CliCommandRegistry::instance()
{
    static CliCommandRegistry registry;
    return registry;
}

void CliCommandRegistry::add(CliCommand command)
{
    m_commands.push_back(std::move(command));
}

const CliCommand *CliCommandRegistry::find(const QStringList &argv) const
{
    const CliCommand *best = nullptr;
    for (const CliCommand &c : m_commands) {
        if (c.words.size() > argv.size())
            continue;
        if (argv.mid(0, c.words.size()) != c.words)
            continue;
        if (!best || c.words.size() > best->words.size())
            best = &c;
    }
    return best;
}

CliCommandRegistration::CliCommandRegistration(std::initializer_list<CliCommand> commands)
{
    for (const CliCommand &c : commands)
        CliCommandRegistry::instance().add(c);
}
