#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <vector>

struct Notification
{
    QString name;
    QVariant object;           // what the notification is about (a flag, an identifier, …)
    const void *sender = nullptr; // who posted it, for observers that listen to one sender only
    QVariantMap userInfo;
};

// Named notifications delivered synchronously, in the order observers were added, on the
// thread that posts (the main thread). Observers may be added or removed while a notification
// is being delivered: a removed observer is not called again, an added one only from the next
// post on.
class NotificationCenter
{
public:
    using Handler = std::function<void(const Notification &)>;
    using Token = std::uint64_t;

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter &) = delete;
    NotificationCenter &operator=(const NotificationCenter &) = delete;

    static NotificationCenter &defaultCenter();

    // Observes `name` (empty: every name) from `sender` (null: any sender).
    Token addObserver(const QString &name, Handler handler, const void *sender = nullptr);
    void removeObserver(Token token);

    void post(const QString &name, const QVariant &object = {}, const QVariantMap &userInfo = {},
              const void *sender = nullptr);
    void post(const Notification &notification);

    size_t observerCount() const;

private:
    struct Entry
    {
        Token token;
        QString name;
        const void *sender;
        std::shared_ptr<Handler> handler;
        std::shared_ptr<bool> alive;
    };
    std::vector<Entry> m_entries;
    Token m_next = 1;
};

// Removes its observation when it goes out of scope.
class ScopedObserver
{
public:
    ScopedObserver() = default;
    ScopedObserver(NotificationCenter &center, const QString &name, NotificationCenter::Handler handler,
                   const void *sender = nullptr);
    ~ScopedObserver();
    ScopedObserver(ScopedObserver &&other) noexcept;
    ScopedObserver &operator=(ScopedObserver &&other) noexcept;
    ScopedObserver(const ScopedObserver &) = delete;
    ScopedObserver &operator=(const ScopedObserver &) = delete;
    void reset();

private:
    NotificationCenter *m_center = nullptr;
    NotificationCenter::Token m_token = 0;
};
