#include "platform/FreeFileName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void touch(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(FreeFileNameTest, TakesTheFirstFreeNumberedName)
{
    struct Case
    {
        const char *name;
        QStringList present;
        QString path;
        QString expected;
    };
    const Case cases[] = {
        {"free", {}, QStringLiteral("faktura.pdf"), QStringLiteral("faktura.pdf")},
        {"taken twice", {QStringLiteral("faktura.pdf"), QStringLiteral("faktura-1.pdf")}, QStringLiteral("faktura.pdf"),
         QStringLiteral("faktura-2.pdf")},
        {"gap is filled", {QStringLiteral("b.pdf"), QStringLiteral("b-2.pdf")}, QStringLiteral("b.pdf"),
         QStringLiteral("b-1.pdf")},
        {"only last extension", {QStringLiteral("Faktura nr 1.2024.pdf")}, QStringLiteral("Faktura nr 1.2024.pdf"),
         QStringLiteral("Faktura nr 1.2024-1.pdf")},
        {"no extension", {QStringLiteral("raport")}, QStringLiteral("raport"), QStringLiteral("raport-1")},
    };
    for (const Case &c : cases) {
        QTemporaryDir caseDir;
        const QDir caseFolder(caseDir.path());
        for (const QString &name : c.present)
            touch(caseFolder.filePath(name));
        EXPECT_EQ(FreeFileName::freePath(caseFolder.filePath(c.path)), caseFolder.filePath(c.expected)) << c.name;
    }
}

TEST(FreeFileNameTest, DanglingLinkCountsAsTaken)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("nowhere")), folder.filePath(QStringLiteral("a.pdf"))));
    EXPECT_EQ(FreeFileName::freePath(folder.filePath(QStringLiteral("a.pdf"))), folder.filePath(QStringLiteral("a-1.pdf")));
}

} // namespace
