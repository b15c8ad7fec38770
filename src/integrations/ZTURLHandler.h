#pragma once

#include <QString>

class ZTAppController;

// Answers "faktura://<document number>" links: the document's preview is brought up. Any other
// link is ignored.
class ZTURLHandler
{
public:
    static const QString kScheme; // "faktura"

    // The link as the platform hands it over, unchanged.
    explicit ZTURLHandler(QString directParameter) : m_directParameter(std::move(directParameter)) {}
    QString directParameter() const { return m_directParameter; }

    // Runs the link against the program's controller; nothing when there is none.
    void performDefaultImplementation() const;
    void performDefaultImplementation(ZTAppController &controller) const;

    // The document number a link selects: the text after the first "://", up to a further
    // "://", not percent-decoded. Null when the link is to be ignored (no "://", another
    // scheme, nothing after "://").
    static QString documentIDFromURL(const QString &url);
    // "faktura://<number>", or null when the number does not make a valid link (a blank,
    // letters outside ASCII, a stray "%", …).
    static QString documentLink(const QString &documentID);

private:
    QString m_directParameter;
};
