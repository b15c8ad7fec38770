#include "platform/ZTLog.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct LogCapture
{
    QStringList lines;
    LogCapture() { ZTLog::setSink([this](const QString &line) { lines << line; }); }
    ~LogCapture() { ZTLog::setSink({}); }
};

int failingOperation(int value)
{
    ZT_PRECONDITION(value > 0);
    return value * 2;
}

} // namespace

TEST(ZTLog, OneLineWithFileLineFunctionAndMessage)
{
    LogCapture capture;
    const int line = __LINE__ + 1;
    ZTLOG(QStringLiteral("save failed. verbosity: %1 rollback: %2").arg(1).arg(0));
    ASSERT_EQ(capture.lines.size(), 1);
    EXPECT_EQ(capture.lines.first(),
              QStringLiteral("ZTLogTest.cpp:%1 TestBody; save failed. verbosity: 1 rollback: 0").arg(line));
}

TEST(ZTLog, ConsistencyFailureLogsAbandonsAndLetsTheCallerGoOn)
{
    LogCapture capture;
    int reached = 0;
    const bool finished = ztRunGuarded([&] {
        reached = failingOperation(-1);
        reached = 99; // never reached: the operation is abandoned at the failed condition
    });
    EXPECT_FALSE(finished);
    EXPECT_EQ(reached, 0);
    ASSERT_EQ(capture.lines.size(), 1);
    EXPECT_TRUE(capture.lines.first().startsWith(QStringLiteral("ZTLogTest.cpp:")));
    EXPECT_TRUE(capture.lines.first().endsWith(QStringLiteral("failingOperation; PRECONDITION [value > 0]")))
        << capture.lines.first().toStdString();

    // The next operation runs normally.
    EXPECT_TRUE(ztRunGuarded([&] { reached = failingOperation(2); }));
    EXPECT_EQ(reached, 4);

    try {
        ZT_ASSERT_TEXT(false, "defaultsPath");
        FAIL() << "an assertion must abandon the operation";
    } catch (const InternalConsistencyError &e) {
        EXPECT_EQ(e.description(), QStringLiteral("ASSERT [defaultsPath]"));
        EXPECT_EQ(e.fileName(), QStringLiteral("ZTLogTest.cpp"));
        EXPECT_EQ(e.kind(), QStringLiteral("ASSERT"));
    }
}
