#pragma once

#include <QByteArray>
#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QUrl>

#include <deque>
#include <functional>

class ZTDocumentAttributesRepresentation;

// Lays out many documents as fast as the web engine allows, for exports that write a folder
// full of PDFs. Documents that share a built-in page frame are joined into pages of up to
// `batchSize` documents (one load and one print job for all of them), and up to
// `pagesInFlight` pages are laid out at once, each in a renderer process of its own.
//
// Work is pulled from a feeder whenever there is room, so that the main thread merges the next
// documents while the engine lays out the previous ones. Completions run on the main thread;
// within a page, in the order the documents were added. A page whose documents cannot be told
// apart is laid out again one document at a time.
class ZTDocumentRenderQueue : public QObject
{
    Q_OBJECT
public:
    using Completion = std::function<void(const QByteArray &pdf)>;

    static constexpr int kDefaultBatchSize = 10;
    static constexpr int kDefaultPagesInFlight = 2;

    explicit ZTDocumentRenderQueue(int batchSize = kDefaultBatchSize, int pagesInFlight = kDefaultPagesInFlight,
                                   QObject *parent = nullptr);

    // Merges the representation now and lays it out in turn; the completion gets its PDF
    // (empty when it could not be laid out).
    void add(ZTDocumentAttributesRepresentation &representation, Completion completion);
    // The same for merged HTML; `joinable`: the page may share a page with others of its frame.
    void add(const QString &html, const QUrl &baseUrl, const QString &title, bool joinable, Completion completion);

    // Called whenever the queue has room: adds the next document's work with add() and returns
    // true, or returns false when there is nothing more.
    void setFeeder(std::function<bool()> feeder) { m_feeder = std::move(feeder); }

    // Runs until the feeder has nothing more and every added document has been handed over.
    void run();

private:
    struct Item
    {
        QString html;
        QUrl baseUrl;
        QString title;
        QString frame; // null: laid out alone
        Completion completion;
    };

    void pump();
    std::vector<Item> takeBatch();
    void dispatch(std::vector<Item> batch);

    int m_batchSize;
    int m_pagesInFlight;
    int m_inFlight = 0;
    bool m_feederDone = false;
    bool m_pumpScheduled = false;
    std::function<bool()> m_feeder;
    std::deque<Item> m_pending;
    QEventLoop m_loop;
};
