#include "UiTestSupport.h"

#include "ui/main/ZTDocumentOutputViews.h"
#include "ui/main/ZTPDFView.h"
#include "ui/main/ZTPreviewWindow.h"

#include "output/ZTDocumentPrintController.h"

#include <QPdfDocument>
#include <QScrollBar>
#include <QTest>

namespace {

class ZTPreviewWindowTest : public UiTest
{
protected:
    ZTPreviewWindow *preview(ZTDocumentOutputViews &views, const QList<ZTDocument *> &documents)
    {
        SignalLog ready(views.printController(), &ZTDocumentPrintController::previewReady);
        views.previewDocuments(documents);
        EXPECT_TRUE(spinUntil([&] { return ready.count() == 1; }));
        // Let the window settle and the view lay its pages out.
        QCoreApplication::processEvents();
        ZTPreviewWindow *window = views.previewWindow();
        EXPECT_TRUE(window && window->isVisible());
        return window;
    }
};

TEST_F(ZTPreviewWindowTest, OpensTitledAtZoomWithAllPagesFromTheTop)
{
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("FV/7/2024"));
    ZTDocument *margin = numbered(ZTDocument::kKindMarginInvoice, QStringLiteral("M/1"));
    m_pages[a->documentID()] = 3;
    ZTDocumentOutputViews views(&m_window, source());

    ZTPreviewWindow *window = preview(views, {a});
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Podgląd dokumentu FV/7/2024"));
    EXPECT_TRUE(window->isWindow());
    ZTPDFView *view = window->pdfView();
    EXPECT_DOUBLE_EQ(view->zoomFactor(), 1.3);
    EXPECT_EQ(view->zoomMode(), QPdfView::ZoomMode::Custom);
    EXPECT_EQ(view->pageMode(), QPdfView::PageMode::MultiPage);
    EXPECT_EQ(view->document(), window->document());
    EXPECT_EQ(window->document()->pageCount(), 3);
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    // Three A4 pages at 1.3 do not fit: there is somewhere to scroll to.
    EXPECT_GT(view->verticalScrollBar()->maximum(), 2 * 842);
    shot(window, QStringLiteral("preview"));

    // The same window shows the next preview, from the top, with the new content only.
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    ZTPreviewWindow *again = preview(views, {a, margin});
    EXPECT_EQ(again, window);
    EXPECT_EQ(again->windowTitle(), QStringLiteral("Podgląd dokumentów"));
    // Three pages of A, the margin invoice's one and its settlement sheet.
    EXPECT_EQ(again->document()->pageCount(), 5);
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
}

TEST_F(ZTPreviewWindowTest, SpaceReadsOnAndClosesOnlyAtTheEnd)
{
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("A"));
    m_pages[QStringLiteral("A")] = 3;
    ZTDocumentOutputViews views(&m_window, source());
    ZTPreviewWindow *window = preview(views, {a});
    ASSERT_NE(window, nullptr);
    ZTPDFView *view = window->pdfView();
    QScrollBar *bar = view->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);

    // Shift-space at the top stays there and never closes.
    QTest::keyClick(view, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(window->isVisible());

    int presses = 0;
    while (!view->isAtEnd() && presses < 100) {
        const int before = bar->value();
        QTest::keyClick(view, Qt::Key_Space);
        ++presses;
        ASSERT_TRUE(window->isVisible()) << "closed before the end, at " << before << " of " << bar->maximum();
        ASSERT_GT(bar->value(), before);
    }
    ASSERT_TRUE(view->isAtEnd());
    EXPECT_GE(presses, 3); // three tall pages take several screens

    // Shift-space goes back up a screen; space returns to the end without closing.
    QTest::keyClick(view, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_LT(bar->value(), bar->maximum() - 1);
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(view->isAtEnd());

    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_FALSE(window->isVisible());
    // Closing hides the window for the next preview; it is not destroyed.
    EXPECT_EQ(views.previewWindow(), window);
}

TEST_F(ZTPreviewWindowTest, SpaceClosesAtOnceWhenTheWholeDocumentIsInView)
{
    ZTDocument *a = numbered(ZTDocument::kKindInvoice, QStringLiteral("A"));
    ZTDocumentOutputViews views(&m_window, source());
    ZTPreviewWindow *window = preview(views, {a});
    ASSERT_NE(window, nullptr);
    window->resize(1400, 2000);
    QCoreApplication::processEvents();
    ASSERT_EQ(window->pdfView()->verticalScrollBar()->maximum(), 0);
    QTest::keyClick(window->pdfView(), Qt::Key_Space);
    EXPECT_FALSE(window->isVisible());
}

} // namespace
