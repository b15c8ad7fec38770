#include "NotificationCenter.h"

#include <algorithm>

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::Token NotificationCenter::addObserver(const QString &name, Handler handler,
                                                          const void *sender)
{
    const Token token = m_next++;
    m_entries.push_back({token, name, sender, std::make_shared<Handler>(std::move(handler)),
                         std::make_shared<bool>(true)});
    return token;
}

void NotificationCenter::removeObserver(Token token)
{
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [token](const Entry &e) { return e.token == token; });
    if (it == m_entries.end())
        return;
    *it->alive = false;
    m_entries.erase(it);
}

void NotificationCenter::post(const QString &name, const QVariant &object, const QVariantMap &userInfo,
                              const void *sender)
{
    post(Notification{name, object, sender, userInfo});
}

void NotificationCenter::post(const Notification &notification)
{
    // Deliver to a snapshot, so that handlers may change the observer list.
    std::vector<Entry> snapshot;
    for (const Entry &e : m_entries) {
        if ((e.name.isEmpty() || e.name == notification.name)
            && (e.sender == nullptr || e.sender == notification.sender))
            snapshot.push_back(e);
    }
    for (const Entry &e : snapshot) {
        if (*e.alive)
            (*e.handler)(notification);
    }
}

size_t NotificationCenter::observerCount() const
{
    return m_entries.size();
}

ScopedObserver::ScopedObserver(NotificationCenter &center, const QString &name,
                               NotificationCenter::Handler handler, const void *sender)
    : m_center(&center), m_token(center.addObserver(name, std::move(handler), sender))
{
}

ScopedObserver::~ScopedObserver()
{
    reset();
}

ScopedObserver::ScopedObserver(ScopedObserver &&other) noexcept
    : m_center(other.m_center), m_token(other.m_token)
{
    other.m_center = nullptr;
    other.m_token = 0;
}

ScopedObserver &ScopedObserver::operator=(ScopedObserver &&other) noexcept
{
    if (this != &other) {
        reset();
        m_center = other.m_center;
        m_token = other.m_token;
        other.m_center = nullptr;
        other.m_token = 0;
    }
    return *this;
}

void ScopedObserver::reset()
{
    if (m_center)
        m_center->removeObserver(m_token);
    m_center = nullptr;
    m_token = 0;
}
