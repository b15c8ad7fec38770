#include "platform/Clock.h"
#include "platform/MailComposer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

// A stand-in for the mail program or the opener: records its arguments, one per line, and
// exits with the given code.
QString fakeProgram(const QTemporaryDir &dir, const QString &name, int exitCode)
{
    const QString path = dir.filePath(name);
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    script.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"%1.args\"\nexit %2\n")
                     .arg(path)
                     .arg(exitCode)
                     .toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    return path;
}

QStringList recordedArguments(const QString &program)
{
    QFile file(program + QStringLiteral(".args"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

QByteArray decodedHeader(const QByteArray &value)
{
    static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([^?]*)\\?="));
    QByteArray result;
    auto it = word.globalMatch(QString::fromLatin1(value));
    if (!it.hasNext())
        return value;
    while (it.hasNext())
        result += QByteArray::fromBase64(it.next().captured(1).toLatin1());
    return result;
}

// The header's value, with folded lines joined.
QByteArray header(const QByteArray &message, const QByteArray &name)
{
    const QByteArray head = message.left(message.indexOf("\r\n\r\n"));
    const QByteArray field = QByteArray(name + ": ");
    const qsizetype inner = head.indexOf(QByteArray("\r\n" + field));
    const qsizetype start = inner >= 0 ? inner + 2 : (head.startsWith(field) ? 0 : -1);
    if (start < 0)
        return {};
    QByteArray value = head.mid(start + name.size() + 2);
    QByteArray joined;
    for (const QByteArray &line : value.split('\n')) {
        const QByteArray trimmed = line.endsWith('\r') ? line.chopped(1) : line;
        if (!joined.isEmpty() && !trimmed.startsWith(' '))
            break;
        if (!joined.isEmpty())
            joined += ' ';
        joined += trimmed.trimmed();
    }
    return joined;
}

class MailComposerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_attachment = m_dir.filePath(QStringLiteral("Faktura nr FV-1-2024.pdf"));
        QFile file(m_attachment);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        m_bytes = QByteArray("%PDF-1.4\n") + QByteArray(300, '\xe2') + QByteArray("\n%%EOF\n");
        file.write(m_bytes);
        m_message.subject = QStringLiteral("Faktura nr FV/1/2024, Faktura korygująca nr K/1");
        m_message.recipient = QStringLiteral("jan@example.com");
        m_message.attachments = {m_attachment};
        m_composer.setDraftsDirectory(m_dir.filePath(QStringLiteral("drafts")));
        m_opener = fakeProgram(m_dir, QStringLiteral("opener"), 0);
        m_composer.setOpenProgram(m_opener);
    }

    QTemporaryDir m_dir;
    QString m_attachment;
    QByteArray m_bytes;
    QString m_opener;
    MailMessage m_message;
    MailComposer m_composer;
};

TEST_F(MailComposerTest, AnsweringMailProgramGetsSubjectAttachmentsAndRecipient)
{
    const QString program = fakeProgram(m_dir, QStringLiteral("mailer"), 0);
    m_composer.setMailProgram(program);
    Error error;
    EXPECT_EQ(m_composer.compose(m_message, error), MailComposer::Outcome::MailProgram);
    EXPECT_EQ(recordedArguments(program),
              (QStringList{QStringLiteral("--utf8"), QStringLiteral("--subject"), m_message.subject,
                           QStringLiteral("--attach"), m_attachment, QStringLiteral("jan@example.com")}));
    EXPECT_TRUE(m_composer.lastDraftPath().isEmpty());
    EXPECT_FALSE(QDir(m_composer.draftsDirectory()).exists());

    // No recipient: none is passed.
    m_message.recipient.clear();
    m_composer.compose(m_message, error);
    EXPECT_EQ(recordedArguments(program).last(), m_attachment);
}

TEST_F(MailComposerTest, NoMailProgramWritesAndOpensAnUnsentDraft)
{
    for (const QString &program : {fakeProgram(m_dir, QStringLiteral("failing"), 3),
                                   m_dir.filePath(QStringLiteral("does-not-exist"))}) {
        m_composer.setMailProgram(program);
        Error error;
        ASSERT_EQ(m_composer.compose(m_message, error), MailComposer::Outcome::Draft) << program.toStdString();
        const QString path = m_composer.lastDraftPath();
        EXPECT_TRUE(path.endsWith(QStringLiteral(".eml")));
        EXPECT_TRUE(path.startsWith(m_composer.draftsDirectory()));
        EXPECT_FALSE(QFileInfo(path).fileName().contains(QLatin1Char('/')));
        // The opener runs detached; give it a moment to record.
        for (int i = 0; i < 100 && recordedArguments(m_opener) != QStringList{path}; ++i)
            QThread::msleep(20);
        EXPECT_EQ(recordedArguments(m_opener), QStringList{path});
    }
}

TEST_F(MailComposerTest, DraftIsAMimeMessageWithEncodedHeadersAndTheFilesAttached)
{
    m_message.attachments << m_dir.filePath(QStringLiteral("missing.pdf"));
    const QDateTime date(QDate(2024, 5, 17), QTime(9, 30), QTimeZone(QByteArrayLiteral("Europe/Warsaw")));
    const QByteArray eml = MailComposer::draft(m_message, date);

    EXPECT_EQ(header(eml, "X-Unsent"), QByteArrayLiteral("1"));
    EXPECT_EQ(header(eml, "To"), QByteArrayLiteral("jan@example.com"));
    EXPECT_EQ(header(eml, "Date"), QByteArrayLiteral("Fri, 17 May 2024 09:30:00 +0200"));
    EXPECT_EQ(QString::fromUtf8(decodedHeader(header(eml, "Subject"))), m_message.subject);
    EXPECT_TRUE(header(eml, "Content-Type").startsWith("multipart/mixed; boundary="));
    // No header line is longer than mail allows.
    for (const QByteArray &line : eml.left(eml.indexOf("\r\n\r\n")).split('\n'))
        EXPECT_LE(line.size(), 78) << line.constData();

    // One attachment (the missing file is left out), whose content decodes to the file.
    EXPECT_EQ(eml.count("Content-Disposition: attachment"), 1);
    EXPECT_TRUE(eml.contains("Content-Type: application/pdf"));
    EXPECT_TRUE(eml.contains("filename*=UTF-8''Faktura%20nr%20FV-1-2024.pdf"));
    const QByteArray marker = "Content-Transfer-Encoding: base64\r\n\r\n";
    const qsizetype start = eml.indexOf(marker) + marker.size();
    const QByteArray encoded = eml.mid(start, eml.indexOf("\r\n--", start) - start);
    EXPECT_EQ(QByteArray::fromBase64(QByteArray(encoded).replace("\r\n", "")), m_bytes);
    for (const QByteArray &line : encoded.split('\n'))
        EXPECT_LE(line.size(), 77);
    // Every line ends in CR LF.
    EXPECT_EQ(eml.count('\n'), eml.count("\r\n"));
}

TEST_F(MailComposerTest, NeitherMailProgramNorDraftFolderFails)
{
    m_composer.setMailProgram(m_dir.filePath(QStringLiteral("does-not-exist")));
    // A file where the drafts folder should be.
    const QString blocked = m_dir.filePath(QStringLiteral("blocked"));
    QFile(blocked).open(QIODevice::WriteOnly);
    m_composer.setDraftsDirectory(blocked + QStringLiteral("/drafts"));
    Error error;
    EXPECT_EQ(m_composer.compose(m_message, error), MailComposer::Outcome::Failed);
    EXPECT_FALSE(error.message().isEmpty());
}

} // namespace
