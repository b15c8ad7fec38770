#include "ZTPreviewWindow.h"

#include "ZTPDFView.h"

#include "output/ZTDocumentPrintController.h"

#include <QGuiApplication>
#include <QPdfDocument>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

ZTPreviewWindow::ZTPreviewWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_document(new QPdfDocument(this))
    , m_view(new ZTPDFView(this))
{
    setObjectName(QStringLiteral("PreviewWindow"));
    m_view->setPageMode(QPdfView::PageMode::MultiPage);
    m_view->setZoomMode(QPdfView::ZoomMode::Custom);
    m_view->setZoomFactor(ZTDocumentPrintController::kPreviewZoom);
    m_view->setParentController(this);
    m_view->setDocument(m_document);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);

    // The width of an A4 page at the preview's zoom (the view scales points to the screen's
    // pixels too), and as tall as the screen allows.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal pixelsPerPoint = screen ? screen->logicalDotsPerInch() / 72.0 : 1.0;
    QSize size(qRound(595 * ZTDocumentPrintController::kPreviewZoom * pixelsPerPoint) + 40, 1000);
    if (screen)
        size = size.boundedTo(screen->availableSize() * 0.9);
    resize(size);
}

ZTPreviewWindow::~ZTPreviewWindow()
{
    // The document must let go of the buffer before the buffer goes.
    m_view->setDocument(nullptr);
    m_document->close();
}

void ZTPreviewWindow::showPdf(const QByteArray &pdf, const QString &title)
{
    m_document->close();
    m_buffer.close();
    m_data = pdf;
    m_buffer.setBuffer(&m_data);
    m_buffer.open(QIODevice::ReadOnly);
    m_document->load(&m_buffer);

    setWindowTitle(title);
    show();
    raise();
    activateWindow();
    m_view->setFocus();
    scrollToTop();
    // The view lays the pages out as the window settles; scroll again once it has.
    QTimer::singleShot(0, this, &ZTPreviewWindow::scrollToTop);
}

void ZTPreviewWindow::scrollToTop()
{
    m_view->verticalScrollBar()->setValue(0);
    m_view->horizontalScrollBar()->setValue(0);
}
