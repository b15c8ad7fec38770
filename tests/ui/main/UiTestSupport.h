#pragma once

#include "../../output/OutputTestSupport.h"

#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QAbstractButton>
#include <QDir>
#include <QPdfWriter>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QWidget>

// Views over the output controllers, with documents rendered by the output tests' stand-in.
class UiTest : public OutputTest
{
protected:
    void SetUp() override
    {
        OutputTest::SetUp();
        m_window.resize(900, 700);
        m_window.setWindowTitle(QStringLiteral("Tolvana"));
        m_window.show();
    }

    // Saves a picture of the widget for a person to look at, when TOLVANA_UI_SHOTS names a folder.
    static void shot(QWidget *widget, const QString &name)
    {
        const QString folder = qEnvironmentVariable("TOLVANA_UI_SHOTS");
        if (folder.isEmpty() || !widget)
            return;
        QDir().mkpath(folder);
        // Some views paint what was drawn for them in the background.
        spinUntil([] { return false; }, 500);
        widget->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    }

    // Confirms a dialogue with its accept button, as a person would.
    static void confirm(QDialog *dialog)
    {
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        ASSERT_NE(buttons, nullptr);
        for (QAbstractButton *button : buttons->buttons()) {
            const auto role = buttons->buttonRole(button);
            if (role == QDialogButtonBox::AcceptRole || role == QDialogButtonBox::YesRole) {
                ASSERT_TRUE(button->isEnabled()) << button->text().toStdString();
                button->click();
                return;
            }
        }
        FAIL() << "no accept button";
    }

    QWidget m_window;
    QTemporaryDir m_out;
};

namespace UiPdf {

// A PDF of pages of the given sizes in points, each with a dark bar and its number in text.
inline QByteArray pdfWithPageSizes(const QList<QSizeF> &sizes)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    QPainter painter;
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        writer.setPageLayout(QPageLayout(QPageSize(sizes.at(i), QPageSize::Point), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0)));
        if (i == 0)
            painter.begin(&writer);
        else
            writer.newPage();
        painter.fillRect(QRectF(40, 40, 200, 60), Qt::black);
        painter.drawText(QPointF(40, 140), QStringLiteral("page %1").arg(i + 1));
    }
    painter.end();
    return data;
}

// pdfinfo's page sizes in whole points, "595x842" for each page, separated by spaces.
inline QString pageSizesOfFile(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                              QStringLiteral("9999"), path});
    process.waitForFinished(30000);
    QStringList sizes;
    static const QRegularExpression line(QStringLiteral("^Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+)"),
                                         QRegularExpression::MultilineOption);
    auto it = line.globalMatch(QString::fromUtf8(process.readAllStandardOutput()));
    while (it.hasNext()) {
        const auto match = it.next();
        sizes << QStringLiteral("%1x%2").arg(qRound(match.captured(1).toDouble())).arg(qRound(match.captured(2).toDouble()));
    }
    return sizes.join(QLatin1Char(' '));
}

inline qsizetype pageCountOfFile(const QString &path)
{
    const QString sizes = pageSizesOfFile(path);
    return sizes.isEmpty() ? 0 : sizes.count(QLatin1Char(' ')) + 1;
}

} // namespace UiPdf
