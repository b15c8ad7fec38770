#pragma once

#include "Error.h"

#include <QString>
#include <QStringList>

// One new e-mail message: subject, at most one recipient, file attachments.
struct MailMessage
{
    QString subject;
    QString recipient; // empty: none
    QStringList attachments;
    QString body;
};

// Opens new messages in the user's mail program through xdg-email. When no mail program
// answers, the message is written as an unsent RFC 5322 draft (.eml with "X-Unsent: 1") and
// that file is opened instead, which most mail programs take as a message to edit and send.
class MailComposer
{
public:
    enum class Outcome { MailProgram, Draft, Failed };

    MailComposer();

    // The program called as `program --subject S --attach F … [recipient]`; "xdg-email" by
    // default, $TOLVANA_MAIL_PROGRAM when set.
    void setMailProgram(const QString &program) { m_mailProgram = program; }
    QString mailProgram() const { return m_mailProgram; }
    // The program that opens a written draft; "xdg-open" by default, $TOLVANA_OPEN_PROGRAM
    // when set; empty: drafts are written but not opened.
    void setOpenProgram(const QString &program) { m_openProgram = program; }
    // Where drafts go; "<temporary folder>/Tolvana/Mail" by default.
    void setDraftsDirectory(const QString &directory) { m_draftsDirectory = directory; }
    QString draftsDirectory() const { return m_draftsDirectory; }
    // How long the mail program may take to say whether it took the message.
    void setAnswerTimeoutMs(int ms) { m_answerTimeoutMs = ms; }

    // Opens the message. Failed (with the error) only when neither the mail program nor a
    // draft could be had. The draft's path, when one was written, is in lastDraftPath().
    Outcome compose(const MailMessage &message, Error &error);
    QString lastDraftPath() const { return m_lastDraftPath; }

    // The arguments given to the mail program for a message.
    static QStringList mailProgramArguments(const MailMessage &message);
    // The message as an unsent draft; missing attachments are left out (and logged). `date`
    // is the Date header.
    static QByteArray draft(const MailMessage &message, const QDateTime &date);
    // Writes the draft into the folder under a name from the subject; the path, or empty.
    static QString writeDraft(const MailMessage &message, const QString &directory, Error &error);

private:
    bool runMailProgram(const MailMessage &message);

    QString m_mailProgram;
    QString m_openProgram;
    QString m_draftsDirectory;
    QString m_lastDraftPath;
    int m_answerTimeoutMs = 15000;
};
