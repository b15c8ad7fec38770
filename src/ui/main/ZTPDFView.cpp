#include "ZTPDFView.h"

#include <QKeyEvent>
#include <QScrollBar>

ZTPDFView::ZTPDFView(QWidget *parent)
    : QPdfView(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

bool ZTPDFView::isAtEnd() const
{
    // Within a point of the end counts: the last step of a scroll may stop just short of it.
    const QScrollBar *bar = verticalScrollBar();
    return bar->value() >= bar->maximum() - 1;
}

void ZTPDFView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Space) {
        QPdfView::keyPressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ShiftModifier) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    } else if (modifiers == Qt::NoModifier) {
        if (isAtEnd() && m_parentController)
            m_parentController->close();
        else
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    } else {
        QPdfView::keyPressEvent(event);
        return;
    }
    event->accept();
}
