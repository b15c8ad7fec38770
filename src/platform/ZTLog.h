#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

// Diagnostic logging: one system-log line per message, "file:line function; message".
class ZTLog
{
public:
    // Formats and writes one line to the system log (ident = application identifier).
    static void file(const char *filePath, const char *function, int lineNumber, const QString &message);

    // The line as it is written, without the syslog prefix.
    static QString formatLine(const char *filePath, const char *function, int lineNumber,
                              const QString &message);

    // Tests and the CLI may watch the log; the sink receives every formatted line.
    using Sink = std::function<void(const QString &line)>;
    static void setSink(Sink sink);
    // Mirrors every line on standard error as well (TOLVANA_LOG_STDERR=1 sets it at start).
    static void setMirrorToStderr(bool on);
};

#define ZTLOG(message) ZTLog::file(__FILE__, static_cast<const char *>(__func__), __LINE__, (message))

// A violated internal consistency condition. It names the source file, the operation, the line
// and the condition; the operation in hand is abandoned by the throw, and the event loop (or the
// CLI's top level) catches it, logs it and goes on.
class InternalConsistencyError : public std::logic_error
{
public:
    InternalConsistencyError(const QString &kind, const QString &condition, const char *filePath,
                             const char *function, int line);

    QString kind() const { return m_kind; }           // "ASSERT" or "PRECONDITION"
    QString condition() const { return m_condition; }
    QString description() const;                     // e.g. "ASSERT [defaultsPath]"
    QString fileName() const { return m_file; }
    QString function() const { return m_function; }
    int line() const { return m_line; }

private:
    QString m_kind;
    QString m_condition;
    QString m_file;
    QString m_function;
    int m_line;
};

[[noreturn]] void ztConsistencyFailure(const char *kind, const char *condition, const char *filePath,
                                       const char *function, int line);

#define ZT_ASSERT(cond)                                                                            \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ztConsistencyFailure("ASSERT", #cond, __FILE__, static_cast<const char *>(__func__),  \
                                 __LINE__);                                                        \
    } while (false)

#define ZT_PRECONDITION(cond)                                                                      \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ztConsistencyFailure("PRECONDITION", #cond, __FILE__,                                 \
                                 static_cast<const char *>(__func__), __LINE__);                   \
    } while (false)

// Asserts with a condition text of its own, where the expression in code differs from the
// text the log must carry.
#define ZT_ASSERT_TEXT(cond, text)                                                                 \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ztConsistencyFailure("ASSERT", text, __FILE__, static_cast<const char *>(__func__),   \
                                 __LINE__);                                                        \
    } while (false)

// Runs work, catching an internal consistency failure: it is logged (it already was when raised)
// and reported as false, so the caller's loop goes on.
bool ztRunGuarded(const std::function<void()> &work);
