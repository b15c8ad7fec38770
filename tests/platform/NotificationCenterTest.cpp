#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

TEST(NotificationCenter, DeliversByNameAndSenderInOrder)
{
    NotificationCenter center;
    QStringList seen;
    int senderA = 0, senderB = 0;
    center.addObserver(QStringLiteral("newDocumentIssued"),
                       [&](const Notification &n) { seen << QStringLiteral("first:") + n.object.toString(); });
    center.addObserver(QStringLiteral("newDocumentIssued"),
                       [&](const Notification &n) { seen << QStringLiteral("second:") + n.object.toString(); });
    center.addObserver(QStringLiteral("newDocumentIssued"),
                       [&](const Notification &) { seen << QStringLiteral("onlyA"); }, &senderA);
    center.addObserver(QString(), [&](const Notification &n) { seen << QStringLiteral("any:") + n.name; });

    center.post(QStringLiteral("newDocumentIssued"), QStringLiteral("FV/1"), {}, &senderB);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("first:FV/1"), QStringLiteral("second:FV/1"),
                                 QStringLiteral("any:newDocumentIssued")}));
    seen.clear();
    center.post(QStringLiteral("newDocumentIssued"), QStringLiteral("FV/2"), {}, &senderA);
    EXPECT_TRUE(seen.contains(QStringLiteral("onlyA")));
    seen.clear();
    center.post(QStringLiteral("somethingElse"));
    EXPECT_EQ(seen, QStringList{QStringLiteral("any:somethingElse")});
}

TEST(NotificationCenter, ObserversMayChangeTheListWhileBeingCalled)
{
    NotificationCenter center;
    int calls = 0;
    NotificationCenter::Token second = 0;
    center.addObserver(QStringLiteral("n"), [&](const Notification &) {
        ++calls;
        center.removeObserver(second); // removed before its turn: not called
        center.addObserver(QStringLiteral("n"), [&](const Notification &) { calls += 100; });
    });
    second = center.addObserver(QStringLiteral("n"), [&](const Notification &) { calls += 10; });
    center.post(QStringLiteral("n"));
    EXPECT_EQ(calls, 1);
}

TEST(NotificationCenter, ScopedObserverStopsListeningWhenGone)
{
    NotificationCenter center;
    int calls = 0;
    {
        ScopedObserver observer(center, QStringLiteral("n"), [&](const Notification &) { ++calls; });
        center.post(QStringLiteral("n"));
        EXPECT_EQ(center.observerCount(), 1u);
    }
    center.post(QStringLiteral("n"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(center.observerCount(), 0u);
}
