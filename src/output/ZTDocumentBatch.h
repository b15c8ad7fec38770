#pragma once

#include <QString>
#include <QStringList>

// Several merged documents laid out as one page, so that the web engine loads and prints once
// for all of them. Each document starts on a new sheet; a marker link at its top tells, in
// the printed PDF, on which page it begins (see ZTPdfPageStamper), and is removed there.
//
// Only pages made from the same page frame can share a page: the same text before <body>
// (the document's <title> aside), as the built-in templates give.
namespace ZTDocumentBatch {

// The marker link of the document at `index` of a joined page.
QString markerUrl(int index);
// What every marker link starts with.
QString markerPrefix();

// What a page must share with others to be joined with them: the text before <body> without
// the <title> element. A null string for a page that cannot be joined with any.
QString pageFrame(const QString &html);

// True when `other` can share a page with `first`.
bool canJoin(const QString &first, const QString &other);

// One page holding the documents in order; a single document is returned as it is. The
// documents must be joinable with the first.
QString joinedHtml(const QStringList &htmls);

} // namespace ZTDocumentBatch
