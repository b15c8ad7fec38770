#include "ZTDocumentBatch.h"

#include <QRegularExpression>

namespace ZTDocumentBatch {

namespace {

// A merged page cut at its <body> tag.
struct PageParts
{
    bool ok = false;
    QString frame;       // everything before <body, without the <title> element
    QString head;        // everything before <body, as it is
    QString bodyAttributes;
    QString content;     // between the <body> tag and </body>
    QString tail;        // from </body> on
};

PageParts cut(const QString &html)
{
    PageParts parts;
    const qsizetype bodyStart = html.indexOf(QStringLiteral("<body"), 0, Qt::CaseInsensitive);
    if (bodyStart < 0)
        return parts;
    const qsizetype tagEnd = html.indexOf(QLatin1Char('>'), bodyStart);
    const qsizetype bodyEnd = html.lastIndexOf(QStringLiteral("</body>"), -1, Qt::CaseInsensitive);
    if (tagEnd < 0 || bodyEnd < tagEnd)
        return parts;
    static const QRegularExpression title(QStringLiteral("<title>.*</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption |
                                              QRegularExpression::InvertedGreedinessOption);
    parts.head = html.left(bodyStart);
    parts.frame = QString(parts.head).remove(title);
    if (parts.frame.isNull())
        parts.frame = QLatin1String(""); // a page with nothing before <body> still has a frame
    parts.bodyAttributes = html.mid(bodyStart + 5, tagEnd - bodyStart - 5);
    parts.content = html.mid(tagEnd + 1, bodyEnd - tagEnd - 1);
    parts.tail = html.mid(bodyEnd);
    parts.ok = true;
    return parts;
}

} // namespace

QString markerPrefix() { return QStringLiteral("https://tolvana.invalid/document/"); }

QString markerUrl(int index) { return markerPrefix() + QString::number(index); }

QString pageFrame(const QString &html)
{
    const PageParts parts = cut(html);
    return parts.ok ? parts.frame : QString();
}

bool canJoin(const QString &first, const QString &other)
{
    const QString frame = pageFrame(first);
    return !frame.isNull() && frame == pageFrame(other);
}

QString joinedHtml(const QStringList &htmls)
{
    if (htmls.size() == 1)
        return htmls.front();
    const PageParts first = cut(htmls.value(0));
    QString joined = first.head + QStringLiteral("<body>\n");
    for (qsizetype i = 0; i < htmls.size(); ++i) {
        const PageParts parts = cut(htmls.at(i));
        // The outer box starts the sheet and anchors the marker at its top-left corner; the
        // inner one carries what the document's own <body> tag carried (its classes).
        joined += QStringLiteral("<div style=\"position: relative;%1\">"
                                 "<a href=\"%2\" style=\"position: absolute; left: 0; top: 0; width: 1px; "
                                 "height: 1px; display: block;\"></a><div%3>")
                      .arg(i > 0 ? QStringLiteral(" break-before: page;") : QString(), markerUrl(int(i)),
                           parts.bodyAttributes);
        joined += parts.content;
        joined += QStringLiteral("</div></div>\n");
    }
    return joined + first.tail;
}

} // namespace ZTDocumentBatch
