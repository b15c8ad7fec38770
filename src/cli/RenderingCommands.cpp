// document pdf / document html: one document rendered through its template, as the window
// prints or previews it.
#include "CliApplication.h"
#include "CliSession.h"

#include "model/ZTDocument.h"
#include "output/ZTDocumentRendering.h"
#include "output/ZTDocumentRepresentation.h"
#include "output/ZTDocumentRepresentationFactory.h"
#include "output/ZTSettlementsRepresentation.h"
#include "platform/PdfPages.h"

#include <QDate>
#include <QJsonObject>
#include <QSaveFile>

#include <memory>

namespace {

struct RenderOptions
{
    QString ref;
    QString version; // original, copy, both, plain
    QDateTime duplicateDate;
    bool settlements = false;
    QString outputPath;
};

// REF --version V [--duplicate-date DATE] [--settlements] [-o PATH]; "" when they are right,
// else the usage fault.
QString parseOptions(const QStringList &args, bool forPdf, RenderOptions &options)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QStringLiteral("--version") && hasValue) {
            options.version = args.at(++i);
        } else if (arg == QStringLiteral("--duplicate-date") && hasValue) {
            const QDate date = QDate::fromString(args.at(++i), Qt::ISODate);
            if (!date.isValid())
                return QStringLiteral("--duplicate-date needs a date YYYY-MM-DD");
            options.duplicateDate = QDateTime(date, QTime(0, 0));
        } else if (arg == QStringLiteral("--settlements") && forPdf) {
            options.settlements = true;
        } else if (arg == QStringLiteral("-o") && hasValue) {
            options.outputPath = args.at(++i);
        } else if (!arg.startsWith(QLatin1Char('-')) && options.ref.isEmpty()) {
            options.ref = arg;
        } else {
            return QStringLiteral("wrong arguments");
        }
    }
    static const QStringList versions{QStringLiteral("original"), QStringLiteral("copy"), QStringLiteral("both"),
                                      QStringLiteral("plain")};
    if (options.ref.isEmpty() || !versions.contains(options.version))
        return QStringLiteral("a document and --version original|copy|both|plain are needed");
    if (forPdf && options.outputPath.isEmpty())
        return QStringLiteral("-o PATH is needed");
    // A duplicate re-issues the original.
    if (options.duplicateDate.isValid() && options.version != QStringLiteral("original") &&
        options.version != QStringLiteral("both"))
        return QStringLiteral("--duplicate-date goes with --version original or both");
    return {};
}

// The representations in print order: the original (or its duplicate) before the copy.
std::vector<std::unique_ptr<ZTDocumentRepresentation>> representations(ZTDocument *document, const RenderOptions &options)
{
    std::vector<std::unique_ptr<ZTDocumentRepresentation>> list;
    const auto original = [&] {
        return options.duplicateDate.isValid()
                   ? ZTDocumentRepresentationFactory::duplicateRepresentationForDocument(document, options.duplicateDate)
                   : ZTDocumentRepresentationFactory::originalRepresentationForDocument(document);
    };
    if (options.version == QStringLiteral("plain"))
        list.push_back(ZTDocumentRepresentationFactory::plainRepresentationForDocument(document));
    if (options.version == QStringLiteral("original") || options.version == QStringLiteral("both"))
        list.push_back(original());
    if (options.version == QStringLiteral("copy") || options.version == QStringLiteral("both"))
        list.push_back(ZTDocumentRepresentationFactory::copyRepresentationForDocument(document));
    for (const auto &representation : list) {
        if (!representation)
            throw CliInputError{QStringLiteral("Dokumentu tego rodzaju nie można wydrukować.")};
    }
    return list;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

CliResult pdf(const QStringList &args)
{
    RenderOptions options;
    const QString fault = parseOptions(args, true, options);
    if (!fault.isEmpty())
        return CliResult::badUsage(fault);
    return cliGuarded([&] {
        CliSession session;
        ZTDocument *document = session.findDocument(options.ref);
        if (options.settlements && !document->isMarginInvoice())
            throw CliInputError{QStringLiteral("Rozliczenie marży ma tylko faktura marża.")};
        QList<QByteArray> parts;
        for (const auto &representation : representations(document, options))
            parts << ZTDocumentRendering::pdfData(*representation);
        if (options.settlements) {
            ZTSettlementsRepresentation sheet(document);
            parts << ZTDocumentRendering::pdfData(sheet);
        }
        for (const QByteArray &part : parts) {
            if (part.isEmpty())
                throw CliInputError{QStringLiteral("Nie udało się utworzyć pliku PDF dokumentu %1.").arg(document->documentID())};
        }
        const QByteArray data = parts.size() == 1 ? parts.first() : PdfDocument::joined(parts);
        if (!writeFile(options.outputPath, data))
            throw CliInputError{QStringLiteral("Nie udało się zapisać pliku %1.").arg(options.outputPath)};
        return CliResult::ok(QJsonObject{{QStringLiteral("documentID"), document->documentID()},
                                         {QStringLiteral("path"), options.outputPath},
                                         {QStringLiteral("pages"), PdfDocument::pageCount(data)},
                                         {QStringLiteral("bytes"), qint64(data.size())}});
    });
}

CliResult html(const QStringList &args)
{
    RenderOptions options;
    const QString fault = parseOptions(args, false, options);
    if (!fault.isEmpty())
        return CliResult::badUsage(fault);
    return cliGuarded([&] {
        CliSession session;
        ZTDocument *document = session.findDocument(options.ref);
        QStringList pages;
        for (const auto &representation : representations(document, options))
            pages << ZTDocumentRendering::mergedHtml(*representation);
        // "both" gives the original's page and the copy's, one after the other.
        const QString merged = pages.join(QLatin1Char('\n'));
        QJsonObject result{{QStringLiteral("documentID"), document->documentID()}};
        if (options.outputPath.isEmpty()) {
            result.insert(QStringLiteral("html"), merged);
        } else {
            if (!writeFile(options.outputPath, merged.toUtf8()))
                throw CliInputError{QStringLiteral("Nie udało się zapisać pliku %1.").arg(options.outputPath)};
            result.insert(QStringLiteral("path"), options.outputPath);
        }
        return CliResult::ok(result);
    });
}

const CliCommandRegistration registration{
    {{QStringLiteral("document"), QStringLiteral("pdf")},
     QStringLiteral("REF --version original|copy|both|plain [--duplicate-date YYYY-MM-DD] [--settlements] -o PATH"),
     QStringLiteral("renders the document to PDF as printed: original, copy, both (original's pages, then the "
                    "copy's), or plain; a duplicate date re-issues the original; --settlements adds a margin "
                    "invoice's settlement sheet"),
     pdf},
    {{QStringLiteral("document"), QStringLiteral("html")},
     QStringLiteral("REF --version original|copy|both|plain [--duplicate-date YYYY-MM-DD] [-o PATH]"),
     QStringLiteral("the document's merged HTML, in {\"html\"} or written to PATH"), html},
};

} // namespace

bool cliCommandNeedsRendering(const QStringList &arguments)
{
    // The commands that lay pages out with the web engine.
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        const QString &first = arguments.at(i);
        const QString &second = arguments.at(i + 1);
        if ((first == QStringLiteral("document") || first == QStringLiteral("export")) && second == QStringLiteral("pdf"))
            return true;
    }
    return false;
}
