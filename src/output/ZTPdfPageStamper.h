#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Draws the page header ("%@ - strona %ld z %lu") and the footer (logo, program and version)
// onto every page of a laid-out PDF, and cuts a page that held several documents back into
// the documents' own PDFs.
namespace ZTPdfPageStamper {

QString pageHeader(const QString &title, int page, int pageCount);
// The program and its version; with custom templates on also the active company's NIP.
QString pageFooter();

// The PDF of each document whose title is given, in order, each page stamped with the
// footer and, with `withHeader`, the header counting that document's own pages. One title:
// all pages are that document's. More: each document begins on the page that holds its
// marker link (ZTDocumentBatch), and the marker links are removed. An empty list when the
// PDF cannot be read or the markers do not match the titles.
QList<QByteArray> stampedDocuments(const QByteArray &pdf, const QStringList &titles, bool withHeader);

} // namespace ZTPdfPageStamper
