// tolvana-relaunch PID PROGRAM [ARGUMENT …]
//
// Waits until the process PID has ended, then starts PROGRAM with the arguments, detached, and
// exits. The program asks for this when it must restart itself (after a restore): it starts
// the helper and quits, so that the new instance never meets the old one.
//
// Exit status: 0 started; 1 the program could not be started; 2 bad usage; 3 the process did
// not end in time (nothing is started then, so two instances never run side by side).

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include <sys/types.h>

namespace {

constexpr int kPollMs = 50;
constexpr int kTimeoutMs = 120000;

// A process that has exited but was not yet reaped by its parent is a zombie: it has ended.
bool isZombie(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')'); // the command name may hold spaces and ')'
    return close >= 0 && close + 2 < line.size() && line.at(close + 2) == 'Z';
}

bool isRunning(qint64 pid)
{
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return false;
    return !isZombie(pid);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool ok = false;
    const qint64 pid = args.isEmpty() ? 0 : args.takeFirst().toLongLong(&ok);
    if (!ok || pid <= 0 || args.isEmpty()) {
        std::fputs("usage: tolvana-relaunch PID PROGRAM [ARGUMENT ...]\n", stderr);
        return 2;
    }
    const QString program = args.takeFirst();

    for (int waited = 0; isRunning(pid); waited += kPollMs) {
        if (waited >= kTimeoutMs) {
            std::fprintf(stderr, "tolvana-relaunch: process %lld did not end\n", static_cast<long long>(pid));
            return 3;
        }
        QThread::msleep(kPollMs);
    }

    if (!QProcess::startDetached(program, args)) {
        std::fprintf(stderr, "tolvana-relaunch: cannot start %s\n", program.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
