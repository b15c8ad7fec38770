#pragma once

#include <QStringList>

// tolvana-cli: the headless face of the program. Global options come before the command:
//   --data-dir DIR     the application folder (all companies' data)
//   --config-dir DIR   the folder of the settings file
//   --now ISO-8601     fixes the clock
//   --version, --help
// Output is JSON on stdout. A failure prints {"error": {"domain", "code", "messages"}} and
// exits 1; bad usage prints a usage line on stderr and exits 2.
class CliApplication
{
public:
    explicit CliApplication(QStringList arguments);
    int run();

private:
    int usage(const QString &message, bool asHelp = false);
    QStringList m_arguments;
};

// True for the commands that lay pages out (document pdf, export pdf): they need a
// QGuiApplication prepared for the web engine.
bool cliCommandNeedsRendering(const QStringList &arguments);
