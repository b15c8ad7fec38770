#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QWidget>

class QPdfDocument;
class ZTPDFView;

// The preview window: the joined PDF of the previewed documents, all pages one below the
// other at the print controller's zoom. One window serves a print controller for its
// lifetime; closing only hides it.
class ZTPreviewWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ZTPreviewWindow(QWidget *parent = nullptr);
    ~ZTPreviewWindow() override;

    // Replaces what is shown, titles the window, shows it and scrolls to the top of the
    // first page.
    void showPdf(const QByteArray &pdf, const QString &title);

    ZTPDFView *pdfView() const { return m_view; }
    QPdfDocument *document() const { return m_document; }

private:
    void scrollToTop();

    // The document reads from the buffer for as long as it is loaded.
    QByteArray m_data;
    QBuffer m_buffer;
    QPdfDocument *m_document;
    ZTPDFView *m_view;
};
