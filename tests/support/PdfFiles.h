#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Written PDF files read back as a person would check them: poppler's text, page by page, and
// qpdf's structural check. Shared by the suites that write PDFs.
namespace PdfFiles {

// The whole text, pages separated by form feeds, as pdftotext gives it.
inline QString text(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-q"), path, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of each page, trimmed.
inline QStringList pages(const QString &path)
{
    QStringList pages = text(path).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    for (QString &page : pages)
        page = page.trimmed();
    return pages;
}

// qpdf --check's verdict: 0 clean, 3 warnings, 2 errors; -1 when qpdf did not finish.
inline int qpdfCheck(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), path});
    process.waitForFinished(30000);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace PdfFiles
