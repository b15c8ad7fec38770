// export pdf: documents of the active company saved as PDF files in a folder, one file per
// document named as the window names them, never replacing a file that is there.
#include "CliSession.h"

#include "model/ZTDocument.h"
#include "model/ZTDocumentManager.h"
#include "output/ZTDocumentPrintController.h"
#include "output/ZTDocumentRenderQueue.h"
#include "output/ZTDocumentRepresentation.h"
#include "output/ZTDocumentRepresentationFactory.h"
#include "output/ZTSettlementsRepresentation.h"
#include "platform/FreeFileName.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>

#include <cstdio>
#include <vector>

namespace {

struct ExportOptions
{
    QString folder;
    QStringList refs;
    int year = 0;
    int month = 0;
    int version = ZTDocumentPrintController::kVersionOriginal;
    bool settlements = false;
};

// "" when the arguments are right, else the usage fault.
QString parseOptions(const QStringList &args, ExportOptions &options)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (arg == QStringLiteral("--folder") && hasValue) {
            options.folder = args.at(++i);
        } else if (arg == QStringLiteral("--year") && hasValue) {
            options.year = args.at(++i).toInt(&ok);
        } else if (arg == QStringLiteral("--month") && hasValue) {
            options.month = args.at(++i).toInt(&ok);
            ok = ok && options.month >= 1 && options.month <= 12;
        } else if (arg == QStringLiteral("--version") && hasValue) {
            const QString version = args.at(++i);
            if (version == QStringLiteral("original"))
                options.version = ZTDocumentPrintController::kVersionOriginal;
            else if (version == QStringLiteral("copy"))
                options.version = ZTDocumentPrintController::kVersionCopy;
            else if (version == QStringLiteral("both"))
                options.version = ZTDocumentPrintController::kVersionOriginalAndCopy;
            else
                ok = false;
        } else if (arg == QStringLiteral("--settlements")) {
            options.settlements = true;
        } else if (!arg.startsWith(QLatin1Char('-'))) {
            options.refs << arg;
        } else {
            ok = false;
        }
        if (!ok)
            return QStringLiteral("wrong value of %1").arg(arg);
    }
    if (options.folder.isEmpty())
        return QStringLiteral("--folder DIR is needed");
    if (options.refs.isEmpty() == (options.year == 0))
        return QStringLiteral("name documents by REF or by --year, not both and not neither");
    if (options.month != 0 && options.year == 0)
        return QStringLiteral("--month goes with --year");
    return {};
}

CliResult exportPdf(const QStringList &args)
{
    ExportOptions options;
    const QString fault = parseOptions(args, options);
    if (!fault.isEmpty())
        return CliResult::badUsage(fault);
    return cliGuarded([&] {
        CliSession session;
        QList<ZTDocument *> documents;
        for (const QString &ref : std::as_const(options.refs))
            documents << session.findDocument(ref);
        if (options.year != 0) {
            ZTDocumentManager &manager = session.controller().documentManager();
            documents = options.month != 0 ? manager.documentsIssuedInYear(options.year, options.month)
                                           : manager.documentsIssuedInYear(options.year);
        }
        const QDir folder(options.folder);
        if (!QDir().mkpath(folder.absolutePath()))
            throw CliInputError{QStringLiteral("Nie można utworzyć katalogu %1.").arg(options.folder)};

        // As fast as rendering goes: no timer between documents, unlike the window's export.
        // Every version a document needs is laid out first (many documents per page, several
        // pages at once); the file is then assembled from those pieces, in document order.
        struct Pieces
        {
            int missing = 0;
            QMap<int, QByteArray> versions;
            QByteArray settlements;
        };
        const qsizetype count = documents.size();
        std::vector<Pieces> pieces(static_cast<size_t>(count));
        qsizetype nextToWrite = 0;
        qsizetype nextToLayOut = 0;
        // The printer assembles one document at a time, the one at nextToWrite: its pieces are
        // what the source hands over.
        ZTDocumentPdfSource laidOut;
        laidOut.documentPdf = [&](ZTDocument *, int version, const QDateTime &) {
            return pieces[size_t(nextToWrite)].versions.value(version);
        };
        laidOut.settlementsPdf = [&](ZTDocument *) { return pieces[size_t(nextToWrite)].settlements; };
        ZTDocumentPrintController printer(laidOut);

        QJsonArray written;
        int failures = 0;
        const auto writeReady = [&] {
            while (nextToWrite < nextToLayOut && pieces[size_t(nextToWrite)].missing == 0) {
                ZTDocument *document = documents.at(nextToWrite);
                const QString path =
                    FreeFileName::freePath(folder.absoluteFilePath(document->filename() + QStringLiteral(".pdf")));
                const bool ok = printer.writeDocument(document, path, options.version,
                                                      options.settlements && document->isMarginInvoice());
                pieces[size_t(nextToWrite)] = Pieces{};
                ++nextToWrite;
                std::fprintf(stderr, "%lld z %lld %s%s\n", static_cast<long long>(nextToWrite),
                             static_cast<long long>(count), QDir::toNativeSeparators(path).toUtf8().constData(),
                             ok ? "" : " (nie zapisano)");
                if (!ok) {
                    ++failures;
                    continue;
                }
                written.append(QJsonObject{{QStringLiteral("documentID"), document->documentID()},
                                           {QStringLiteral("path"), path}});
            }
        };

        ZTDocumentRenderQueue queue;
        queue.setFeeder([&]() -> bool {
            if (nextToLayOut == count)
                return false;
            const qsizetype index = nextToLayOut;
            ZTDocument *document = documents.at(index);
            const QList<int> versions = options.version == ZTDocumentPrintController::kVersionOriginalAndCopy
                                            ? QList<int>{ZTDocumentPrintController::kVersionOriginal,
                                                         ZTDocumentPrintController::kVersionCopy}
                                            : QList<int>{options.version};
            for (const int version : versions) {
                std::unique_ptr<ZTDocumentRepresentation> representation =
                    ZTDocumentRepresentationFactory::representationOfDocument(document, version);
                if (!representation)
                    continue;
                ++pieces[size_t(index)].missing;
                queue.add(*representation, [&, index, version](const QByteArray &pdf) {
                    Pieces &done = pieces[size_t(index)];
                    done.versions.insert(version, pdf);
                    --done.missing;
                    writeReady();
                });
            }
            if (options.settlements && document->isMarginInvoice()) {
                ZTSettlementsRepresentation sheet(document);
                ++pieces[size_t(index)].missing;
                queue.add(sheet, [&, index](const QByteArray &pdf) {
                    Pieces &done = pieces[size_t(index)];
                    done.settlements = pdf;
                    --done.missing;
                    writeReady();
                });
            }
            ++nextToLayOut;
            // A document with nothing to lay out is reported (as not written) in its turn.
            writeReady();
            return true;
        });
        queue.run();
        if (failures > 0)
            return CliResult::failed(cliInputError(
                QStringLiteral("Nie zapisano %1 z %2 dokumentów.").arg(failures).arg(count)));
        return CliResult::ok(written);
    });
}

const CliCommandRegistration registration{
    {{QStringLiteral("export"), QStringLiteral("pdf")},
     QStringLiteral("--folder DIR (REF... | --year Y [--month M]) [--version original|copy|both] [--settlements]"),
     QStringLiteral("saves each document as \"<kind> nr <number>.pdf\" in DIR (taken names get -1, -2, ...), "
                    "with a progress line per document on stderr; --settlements adds margin invoices' sheets"),
     exportPdf},
};

} // namespace
