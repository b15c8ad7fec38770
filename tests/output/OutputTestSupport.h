#pragma once

#include "../model/DocumentTestSupport.h"
#include "PdfTestSupport.h"

#include "output/ZTDocumentPdfSource.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <functional>
#include <type_traits>

// Each emission of a signal, as its arguments.
class SignalLog
{
public:
    template <class Sender, class... Args> SignalLog(Sender *sender, void (Sender::*signal)(Args...))
    {
        QObject::connect(sender, signal, &m_receiver, [this](Args... args) {
            m_calls.append(QVariantList{QVariant::fromValue(std::decay_t<Args>(args))...});
        });
    }
    qsizetype count() const { return m_calls.size(); }
    QVariantList first() const { return m_calls.value(0); }
    QVariantList last() const { return m_calls.isEmpty() ? QVariantList() : m_calls.last(); }
    QVariantList value(qsizetype i) const { return m_calls.value(i); }

private:
    QObject m_receiver;
    QList<QVariantList> m_calls;
};

// Documents of the real model rendered by a stand-in: each version of a document is a small
// PDF whose pages say which version of which document they are ("original FV/1 p1"), so that
// joined output can be read back page by page. Renderings are counted.
class OutputTest : public ZTDocumentTest
{
protected:
    static QString versionName(int version)
    {
        switch (version) {
        case 0:
            return QStringLiteral("plain");
        case 1:
            return QStringLiteral("copy");
        case 2:
            return QStringLiteral("original");
        case 3:
            return QStringLiteral("duplicate");
        default:
            return QStringLiteral("version%1").arg(version);
        }
    }

    // pages: how many pages each document's versions have (1 when not listed).
    ZTDocumentPdfSource source()
    {
        ZTDocumentPdfSource pdfSource;
        pdfSource.documentPdf = [this](ZTDocument *document, int version, const QDateTime &date) {
            ++m_renderings[{document->documentID(), version}];
            if (m_unrenderable.contains(document->documentID()))
                return QByteArray();
            QString label = versionName(version) + QLatin1Char(' ') + document->documentID();
            if (version == 3)
                label += QLatin1Char(' ') + date.toString(QStringLiteral("yyyy-MM-dd"));
            QStringList pages;
            for (int page = 1; page <= m_pages.value(document->documentID(), 1); ++page)
                pages << label + QStringLiteral(" p%1").arg(page);
            return PdfTest::pdfWithPages(pages);
        };
        pdfSource.settlementsPdf = [this](ZTDocument *document) {
            ++m_renderings[{document->documentID(), -1}];
            return PdfTest::pdfWithPages({QStringLiteral("settlements ") + document->documentID()});
        };
        return pdfSource;
    }

    ZTDocument *numbered(int kind, const QString &number, const QString &purchaserName = QStringLiteral("ACME"))
    {
        ZTDocument *document = draft(kind, purchaserName);
        document->setDocumentID(number);
        return document;
    }

    // Runs the event loop until the condition holds or the time is up.
    static bool spinUntil(const std::function<bool()> &condition, int timeoutMs = 20000)
    {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (condition())
                loop.quit();
        });
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        poll.start(1);
        if (!condition())
            loop.exec();
        return condition();
    }

    QMap<QPair<QString, int>, int> m_renderings;
    QMap<QString, int> m_pages;
    QStringList m_unrenderable;
};
