#pragma once

#include <QPdfView>
#include <QPointer>

class QWidget;

// The preview's PDF view. The space bar reads on through the pages and, once the end of the
// document is in view, closes the preview; Shift-space goes back up a screen.
class ZTPDFView : public QPdfView
{
    Q_OBJECT
public:
    explicit ZTPDFView(QWidget *parent = nullptr);

    // The window that space closes at the end of the document.
    QWidget *parentController() const { return m_parentController; }
    void setParentController(QWidget *controller) { m_parentController = controller; }

    // The last screen of the document is in view (or all of it fits).
    bool isAtEnd() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPointer<QWidget> m_parentController;
};
