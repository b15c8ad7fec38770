#include "ZTLog.h"

#include <QFileInfo>
#include <QMutex>

#include <cstdio>
#include <syslog.h>

namespace {

QMutex &logMutex()
{
    static QMutex mutex;
    return mutex;
}

ZTLog::Sink &sink()
{
    static ZTLog::Sink s;
    return s;
}

bool &mirror()
{
    static bool on = qEnvironmentVariableIntValue("TOLVANA_LOG_STDERR") == 1;
    return on;
}

void openSyslogOnce()
{
    static const bool opened = [] {
        openlog(TOLVANA_APP_IDENTIFIER, LOG_PID, LOG_USER);
        return true;
    }();
    (void)opened;
}

} // namespace

QString ZTLog::formatLine(const char *filePath, const char *function, int lineNumber,
                          const QString &message)
{
    const QString fileName = QFileInfo(QString::fromUtf8(filePath)).fileName();
    return QStringLiteral("%1:%2 %3; %4")
        .arg(fileName)
        .arg(lineNumber)
        .arg(QString::fromUtf8(function), message);
}

void ZTLog::file(const char *filePath, const char *function, int lineNumber, const QString &message)
{
    const QString line = formatLine(filePath, function, lineNumber, message);
    const QByteArray utf8 = line.toUtf8();
    QMutexLocker lock(&logMutex());
    openSyslogOnce();
    syslog(LOG_NOTICE, "%s", utf8.constData());
    if (mirror())
        std::fprintf(stderr, "%s\n", utf8.constData());
    if (sink())
        sink()(line);
}

void ZTLog::setSink(Sink s)
{
    QMutexLocker lock(&logMutex());
    sink() = std::move(s);
}

void ZTLog::setMirrorToStderr(bool on)
{
    QMutexLocker lock(&logMutex());
    mirror() = on;
}

InternalConsistencyError::InternalConsistencyError(const QString &kind, const QString &condition,
                                                   const char *filePath, const char *function,
                                                   int line)
    : std::logic_error(QStringLiteral("%1 [%2]").arg(kind, condition).toStdString()),
      m_kind(kind),
      m_condition(condition),
      m_file(QFileInfo(QString::fromUtf8(filePath)).fileName()),
      m_function(QString::fromUtf8(function)),
      m_line(line)
{
}

QString InternalConsistencyError::description() const
{
    return QStringLiteral("%1 [%2]").arg(m_kind, m_condition);
}

void ztConsistencyFailure(const char *kind, const char *condition, const char *filePath,
                          const char *function, int line)
{
    InternalConsistencyError error(QString::fromUtf8(kind), QString::fromUtf8(condition), filePath,
                                   function, line);
    ZTLog::file(filePath, function, line, error.description());
    throw error;
}

bool ztRunGuarded(const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const InternalConsistencyError &) {
        // Already logged where it was raised; the operation is abandoned, the caller goes on.
        return false;
    }
}
