#include "ZTDocumentRenderQueue.h"

#include "output/ZTDocumentAttributesRepresentation.h"
#include "output/ZTDocumentBatch.h"
#include "output/ZTDocumentRendering.h"
#include "output/ZTDocumentView.h"
#include "platform/ZTLog.h"

#include <QStringList>

ZTDocumentRenderQueue::ZTDocumentRenderQueue(int batchSize, int pagesInFlight, QObject *parent)
    : QObject(parent), m_batchSize(std::max(1, batchSize)), m_pagesInFlight(std::max(1, pagesInFlight))
{
}

void ZTDocumentRenderQueue::add(ZTDocumentAttributesRepresentation &representation, Completion completion)
{
    // The user's own templates are laid out alone: their pages may rely on being the whole page.
    add(ZTDocumentRendering::mergedHtml(representation), ZTDocumentRendering::baseUrl(representation),
        ZTDocumentRendering::documentTitle(representation), ZTDocumentRendering::usesBuiltInTemplate(representation),
        std::move(completion));
}

void ZTDocumentRenderQueue::add(const QString &html, const QUrl &baseUrl, const QString &title, bool joinable,
                                Completion completion)
{
    Item item;
    item.html = html;
    item.baseUrl = baseUrl;
    item.title = title;
    if (joinable)
        item.frame = ZTDocumentBatch::pageFrame(html);
    item.completion = std::move(completion);
    m_pending.push_back(std::move(item));
}

void ZTDocumentRenderQueue::run()
{
    m_feederDone = !m_feeder;
    pump();
    if (m_inFlight > 0 || !m_pending.empty())
        m_loop.exec();
}

void ZTDocumentRenderQueue::pump()
{
    m_pumpScheduled = false;
    while (m_inFlight < m_pagesInFlight) {
        while (!m_feederDone && qsizetype(m_pending.size()) < m_batchSize)
            m_feederDone = !m_feeder();
        if (m_pending.empty())
            break;
        dispatch(takeBatch());
    }
    if (m_inFlight == 0 && m_pending.empty() && m_feederDone)
        m_loop.quit();
}

std::vector<ZTDocumentRenderQueue::Item> ZTDocumentRenderQueue::takeBatch()
{
    std::vector<Item> batch;
    batch.push_back(std::move(m_pending.front()));
    m_pending.pop_front();
    const QString frame = batch.front().frame;
    const QUrl baseUrl = batch.front().baseUrl;
    // Only neighbours join, so that documents come back in about the order they were added.
    while (!frame.isNull() && qsizetype(batch.size()) < m_batchSize && !m_pending.empty() &&
           m_pending.front().frame == frame && m_pending.front().baseUrl == baseUrl) {
        batch.push_back(std::move(m_pending.front()));
        m_pending.pop_front();
    }
    return batch;
}

void ZTDocumentRenderQueue::dispatch(std::vector<Item> batch)
{
    QStringList htmls;
    QStringList titles;
    for (const Item &item : batch) {
        htmls << item.html;
        titles << item.title;
    }
    ZTDocumentView *view = ZTDocumentView::takeReusable();
    view->loadDocuments(htmls, titles, batch.front().baseUrl);
    ++m_inFlight;
    auto shared = std::make_shared<std::vector<Item>>(std::move(batch));
    view->producePdfDocuments([this, view, shared](const QList<QByteArray> &documents) {
        view->recycle();
        --m_inFlight;
        std::vector<Item> &items = *shared;
        if (documents.size() == qsizetype(items.size())) {
            for (size_t i = 0; i < items.size(); ++i)
                items[i].completion(documents.at(qsizetype(i)));
        } else if (items.size() > 1) {
            ZTLOG(QStringLiteral("a page of %1 documents is laid out again one by one").arg(items.size()));
            for (auto it = items.rbegin(); it != items.rend(); ++it) {
                it->frame = QString();
                m_pending.push_front(std::move(*it));
            }
        } else {
            items.front().completion({});
        }
        // The next page is loaded from the event loop, not from inside the engine's signal.
        if (!m_pumpScheduled) {
            m_pumpScheduled = true;
            QMetaObject::invokeMethod(this, &ZTDocumentRenderQueue::pump, Qt::QueuedConnection);
        }
    });
}
