#include "ZTURLHandler.h"

#include "app/ZTAppController.h"

const QString ZTURLHandler::kScheme = QStringLiteral("faktura");

namespace {

const QString kSeparator = QStringLiteral("://");

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// The characters a URL may carry as they are: unreserved, sub-delimiters and the path and query
// delimiters; "%" only as the start of an escape, "#" once.
bool isValidURLText(const QString &text)
{
    static const QString allowed = QStringLiteral("-._~!$&'()*+,;=:@/?");
    bool fragment = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 128 && (c.isLetterOrNumber() || allowed.contains(c)))
            continue;
        if (c == QLatin1Char('%') && i + 2 < text.size() && isHexDigit(text.at(i + 1)) && isHexDigit(text.at(i + 2))) {
            i += 2;
            continue;
        }
        if (c == QLatin1Char('#') && !fragment) {
            fragment = true;
            continue;
        }
        return false;
    }
    return true;
}

} // namespace

QString ZTURLHandler::documentIDFromURL(const QString &url)
{
    const qsizetype at = url.indexOf(kSeparator);
    if (at < 0)
        return {};
    const QString scheme = url.left(at);
    QString rest = url.mid(at + kSeparator.size());
    if (const qsizetype further = rest.indexOf(kSeparator); further >= 0)
        rest.truncate(further);
    if (scheme != kScheme || rest.isEmpty())
        return {};
    return rest;
}

QString ZTURLHandler::documentLink(const QString &documentID)
{
    if (documentID.isEmpty() || !isValidURLText(documentID))
        return {};
    return kScheme + kSeparator + documentID;
}

void ZTURLHandler::performDefaultImplementation() const
{
    if (ZTAppController *controller = ZTAppController::instance())
        performDefaultImplementation(*controller);
}

void ZTURLHandler::performDefaultImplementation(ZTAppController &controller) const
{
    const QString documentID = documentIDFromURL(m_directParameter);
    if (!documentID.isNull())
        controller.launchPreviewWithDocumentID(documentID);
}
