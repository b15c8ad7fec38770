#include "OutputTestSupport.h"

#include "model/ZTCustomer.h"
#include "output/ZTMailSender.h"

namespace {

class ZTMailSenderTest : public OutputTest
{
protected:
    ZTCustomer *customerWithEmail(const QString &name, const QString &email)
    {
        auto *customer = insert<ZTCustomer>(QStringLiteral("Customer"));
        customer->setName(name);
        customer->setEmail(email);
        return customer;
    }
};

TEST_F(ZTMailSenderTest, OneMessagePerPurchaserWithItsDocumentsInOrder)
{
    ZTDocument *a1 = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/1"), QStringLiteral("Alfa"));
    ZTDocument *b1 = numbered(ZTDocument::kKindProForma, QStringLiteral("PF/1"), QStringLiteral("Beta"));
    ZTDocument *a2 = numbered(ZTDocument::kKindCorrectiveInvoice, QStringLiteral("K/1"), QStringLiteral("Alfa"));
    ZTDocument *nameless = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/9"), QString());
    a1->purchaser()->setEmail(QStringLiteral("old@alfa.pl"));
    a2->purchaser()->setEmail(QStringLiteral("doc@alfa.pl"));
    a2->purchaser()->setBaseCustomer(customerWithEmail(QStringLiteral("Alfa"), QStringLiteral("register@alfa.pl")));
    b1->purchaser()->setEmail(QString());

    const QStringList paths{QStringLiteral("/t/a1.pdf"), QStringLiteral("/t/b1.pdf"), QStringLiteral("/t/a2.pdf"),
                            QStringLiteral("/t/n.pdf")};
    const auto groups = ZTMailSender::groupedByPurchaser({a1, b1, a2, nameless}, paths);
    ASSERT_EQ(groups.size(), 2);

    const MailMessage alfa = ZTMailSender::messageForGroup(groups.at(0));
    EXPECT_EQ(alfa.subject, QStringLiteral("%1 nr FV/1, %2 nr K/1").arg(a1->documentKindName(), a2->documentKindName()));
    EXPECT_EQ(alfa.attachments, (QStringList{QStringLiteral("/t/a1.pdf"), QStringLiteral("/t/a2.pdf")}));
    // The last document's customer record wins over the address on the document.
    EXPECT_EQ(alfa.recipient, QStringLiteral("register@alfa.pl"));
    EXPECT_TRUE(alfa.body.isEmpty());

    const MailMessage beta = ZTMailSender::messageForGroup(groups.at(1));
    EXPECT_EQ(beta.subject, QStringLiteral("%1 nr PF/1").arg(b1->documentKindName()));
    EXPECT_EQ(beta.attachments, QStringList{QStringLiteral("/t/b1.pdf")});
    EXPECT_TRUE(beta.recipient.isEmpty());
}

TEST_F(ZTMailSenderTest, RecipientFallsBackFromTheRegisterToTheDocument)
{
    ZTDocument *document = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/1"), QStringLiteral("Alfa"));
    document->purchaser()->setEmail(QStringLiteral("doc@alfa.pl"));
    EXPECT_EQ(ZTMailSender::recipientForDocument(document), QStringLiteral("doc@alfa.pl"));
    document->purchaser()->setBaseCustomer(customerWithEmail(QStringLiteral("Alfa"), QString()));
    EXPECT_EQ(ZTMailSender::recipientForDocument(document), QStringLiteral("doc@alfa.pl"));
    document->purchaser()->baseCustomer()->setEmail(QStringLiteral("register@alfa.pl"));
    EXPECT_EQ(ZTMailSender::recipientForDocument(document), QStringLiteral("register@alfa.pl"));
}

TEST_F(ZTMailSenderTest, SendingExportsUnlabelledFilesAndOpensOneMessagePerPurchaser)
{
    QTemporaryDir dir;
    // The mail program records each call's arguments in a file of its own.
    const QString program = dir.filePath(QStringLiteral("mailer"));
    {
        QFile script(program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nn=$(ls \"%1\" | grep -c '^call')\n"
                                    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"%1/call$n\"\n")
                         .arg(dir.path())
                         .toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }
    int composers = 0;
    ZTMailSender sender;
    sender.setPdfSource(source());
    sender.setTickInterval(1);
    sender.setComposerFactory([&] {
        ++composers;
        auto composer = std::make_unique<MailComposer>();
        composer->setMailProgram(program);
        composer->setOpenProgram(QString());
        return composer;
    });
    const int pid = static_cast<int>(QCoreApplication::applicationPid());
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("MA/%1").arg(pid), QStringLiteral("Alfa"));
    ZTDocument *b = numbered(ZTDocument::kKindInvoice, QStringLiteral("MB/%1").arg(pid), QStringLiteral("Beta"));
    const int before = composers;
    sender.sendDocumentsToPurchasers({a, b});

    const QDir folder(dir.path());
    ASSERT_TRUE(spinUntil([&] { return folder.entryList({QStringLiteral("call*")}).size() == 2 && composers == before + 2; }));
    const QString fileA = QDir(QDir::tempPath()).filePath(a->filename() + QStringLiteral(".pdf"));
    QFile callA(folder.filePath(QStringLiteral("call0")));
    ASSERT_TRUE(callA.open(QIODevice::ReadOnly));
    const QStringList arguments = QString::fromUtf8(callA.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(arguments, (QStringList{QStringLiteral("--utf8"), QStringLiteral("--subject"),
                                      QStringLiteral("%1 nr %2").arg(a->documentKindName(), a->documentID()),
                                      QStringLiteral("--attach"), fileA}));
    EXPECT_EQ(PdfTest::pageTextsOfFile(fileA), QStringList{QStringLiteral("plain ") + a->documentID() + QStringLiteral(" p1")});
    QFile::remove(fileA);
    QFile::remove(QDir(QDir::tempPath()).filePath(b->filename() + QStringLiteral(".pdf")));
}

} // namespace
