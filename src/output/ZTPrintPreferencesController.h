#pragma once

#include <QObject>
#include <QPair>
#include <QString>

// The print dialogue's accessory for originals and copies, without its widgets: the counts
// live in the settings (read when made, written at every change), the settlements choice and
// the economical-copy switch.
class ZTPrintPreferencesController : public QObject
{
    Q_OBJECT
public:
    static const QString kOriginalsCountKey; // "ZTPrintOriginalsCount"
    static const QString kCopiesCountKey;    // "ZTPrintCopiesCount"
    static const QString kGreenCopiesKey;    // "ZTRepresentationGreenCopies"

    explicit ZTPrintPreferencesController(QObject *parent = nullptr);

    unsigned originalsCount() const { return m_originalsCount; }
    void setOriginalsCount(unsigned count);
    unsigned copiesCount() const { return m_copiesCount; }
    void setCopiesCount(unsigned count);

    // False until the user turns the checkbox on.
    bool includeSettlements() const { return m_includeSettlements; }
    void toggleIncludeSettlements(bool checked);
    // Set before the dialogue opens; the settlements checkbox is offered only then.
    bool containsMarginInvoice() const { return m_containsMarginInvoice; }
    void setContainsMarginInvoice(bool flag);

    // Flips the economical-copy setting and updates the image and caption.
    void toggleGreenery();
    bool greenCopies() const;
    QString greeneryImageName() const; // "ThinkGreen" or "ThinkGreenOff"
    QString greeneryCaption() const;

    // Name and description of the accessory's line in the dialogue's summary.
    static QPair<QString, QString> localizedSummaryItem();

signals:
    void countsChanged();
    void greeneryChanged();
    void containsMarginInvoiceChanged(bool flag);

private:
    unsigned m_originalsCount = 0;
    unsigned m_copiesCount = 0;
    bool m_includeSettlements = false;
    bool m_containsMarginInvoice = false;
};
