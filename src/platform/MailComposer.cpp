#include "MailComposer.h"

#include "Clock.h"
#include "FreeFileName.h"
#include "ZTLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUuid>

namespace {

QString environmentOr(const char *name, const QString &fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

// An RFC 2047 encoded word when the text is not plain ASCII.
QByteArray headerText(const QString &text)
{
    bool ascii = true;
    for (const QChar c : text)
        if (c.unicode() > 126 || c.unicode() < 32)
            ascii = false;
    if (ascii)
        return text.toLatin1();
    // Encoded words are at most 75 characters; split on whole characters.
    QByteArray result;
    QString rest = text;
    while (!rest.isEmpty()) {
        qsizetype take = qMin<qsizetype>(rest.size(), 12);
        if (take < rest.size() && rest.at(take - 1).isHighSurrogate())
            --take;
        if (!result.isEmpty())
            result += "\r\n ";
        result += "=?UTF-8?B?" + rest.left(take).toUtf8().toBase64() + "?=";
        rest = rest.mid(take);
    }
    return result;
}

// filename*= of RFC 2231, so that Polish file names survive.
QByteArray extendedFileName(const QString &name)
{
    return "UTF-8''" + name.toUtf8().toPercentEncoding();
}

QByteArray base64Lines(const QByteArray &data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray result;
    result.reserve(encoded.size() + encoded.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        result += encoded.mid(i, 76) + "\r\n";
    return result;
}

QByteArray crlf(const QString &text)
{
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return normalized.toUtf8();
}

} // namespace

MailComposer::MailComposer()
    : m_mailProgram(environmentOr("TOLVANA_MAIL_PROGRAM", QStringLiteral("xdg-email")))
    , m_openProgram(environmentOr("TOLVANA_OPEN_PROGRAM", QStringLiteral("xdg-open")))
    , m_draftsDirectory(QDir(QDir::tempPath()).filePath(QStringLiteral("Tolvana/Mail")))
{
}

QStringList MailComposer::mailProgramArguments(const MailMessage &message)
{
    QStringList arguments;
    arguments << QStringLiteral("--utf8");
    if (!message.subject.isEmpty())
        arguments << QStringLiteral("--subject") << message.subject;
    if (!message.body.isEmpty())
        arguments << QStringLiteral("--body") << message.body;
    for (const QString &path : message.attachments)
        arguments << QStringLiteral("--attach") << QFileInfo(path).absoluteFilePath();
    if (!message.recipient.isEmpty())
        arguments << message.recipient;
    return arguments;
}

bool MailComposer::runMailProgram(const MailMessage &message)
{
    if (m_mailProgram.isEmpty())
        return false;
    auto *process = new QProcess(QCoreApplication::instance());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(m_mailProgram, mailProgramArguments(message));
    if (!process->waitForStarted()) {
        ZTLOG(QStringLiteral("mail program %1 could not be started").arg(m_mailProgram));
        delete process;
        return false;
    }
    if (!process->waitForFinished(m_answerTimeoutMs)) {
        // Still running: a mail program has the message open. Let it go on by itself.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool answered = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    if (!answered)
        ZTLOG(QStringLiteral("mail program %1 answered with code %2").arg(m_mailProgram).arg(process->exitCode()));
    delete process;
    return answered;
}

MailComposer::Outcome MailComposer::compose(const MailMessage &message, Error &error)
{
    m_lastDraftPath.clear();
    if (runMailProgram(message))
        return Outcome::MailProgram;

    const QString path = writeDraft(message, m_draftsDirectory, error);
    if (path.isEmpty())
        return Outcome::Failed;
    m_lastDraftPath = path;
    if (!m_openProgram.isEmpty() && !QProcess::startDetached(m_openProgram, {path}))
        ZTLOG(QStringLiteral("draft %1 written but %2 could not open it").arg(path, m_openProgram));
    return Outcome::Draft;
}

QByteArray MailComposer::draft(const MailMessage &message, const QDateTime &date)
{
    const QByteArray boundary = "=_tolvana_" + QUuid::createUuid().toString(QUuid::Id128).toLatin1();
    QByteArray out;
    if (!message.recipient.isEmpty())
        out += "To: " + headerText(message.recipient) + "\r\n";
    out += "Subject: " + headerText(message.subject) + "\r\n";
    // The English day and month names that RFC 5322 requires, whatever the user's locale.
    const int offset = date.offsetFromUtc() / 60;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                             .arg(qAbs(offset) / 60, 2, 10, QLatin1Char('0'))
                             .arg(qAbs(offset) % 60, 2, 10, QLatin1Char('0'));
    out += "Date: " + QLocale::c().toString(date, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss")).toLatin1() + ' '
        + zone.toLatin1() + "\r\n";
    out += "X-Unsent: 1\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: multipart/mixed;\r\n boundary=\"" + boundary + "\"\r\n\r\n";

    out += "--" + boundary + "\r\n";
    out += "Content-Type: text/plain; charset=UTF-8\r\n";
    out += "Content-Transfer-Encoding: 8bit\r\n\r\n";
    out += crlf(message.body) + "\r\n";

    const QMimeDatabase mimes;
    for (const QString &path : message.attachments) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            ZTLOG(QStringLiteral("attachment %1 left out: %2").arg(path, file.errorString()));
            continue;
        }
        const QString name = QFileInfo(path).fileName();
        out += "--" + boundary + "\r\n";
        out += "Content-Type: " + mimes.mimeTypeForFile(path).name().toLatin1() + "; name=\"" + headerText(name)
            + "\"\r\n";
        out += "Content-Disposition: attachment; filename*=" + extendedFileName(name) + "\r\n";
        out += "Content-Transfer-Encoding: base64\r\n\r\n";
        out += base64Lines(file.readAll());
    }
    out += "--" + boundary + "--\r\n";
    return out;
}

QString MailComposer::writeDraft(const MailMessage &message, const QString &directory, Error &error)
{
    if (!QDir().mkpath(directory)) {
        error = Error::withMessage(QStringLiteral("Nie można utworzyć katalogu %1").arg(directory));
        return {};
    }
    QString name = message.subject.isEmpty() ? QStringLiteral("Wiadomość") : message.subject;
    static const QRegularExpression unfit(QStringLiteral("[/\\\\?<>:*|\"]"));
    name.replace(unfit, QStringLiteral("-"));
    const QString path = FreeFileName::freePath(QDir(directory).filePath(name.left(120) + QStringLiteral(".eml")));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(draft(message, Clock::now())) < 0 || !file.commit()) {
        error = Error::withMessage(QStringLiteral("Nie można zapisać wiadomości %1").arg(path));
        return {};
    }
    return path;
}
