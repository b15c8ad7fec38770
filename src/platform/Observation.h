#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class ObserverRegistryBase
{
public:
    virtual ~ObserverRegistryBase() = default;
    virtual void remove(quint64 token) = 0;
};

// Ends one observation when it goes out of scope or is reset; harmless after the observed
// object is gone.
class Observation
{
public:
    Observation() = default;
    Observation(std::weak_ptr<ObserverRegistryBase> registry, quint64 token)
        : m_registry(std::move(registry)), m_token(token)
    {
    }
    ~Observation() { reset(); }
    Observation(Observation &&other) noexcept : m_registry(std::move(other.m_registry)), m_token(other.m_token)
    {
        other.m_token = 0;
    }
    Observation &operator=(Observation &&other) noexcept
    {
        if (this != &other) {
            reset();
            m_registry = std::move(other.m_registry);
            m_token = other.m_token;
            other.m_token = 0;
        }
        return *this;
    }
    Observation(const Observation &) = delete;
    Observation &operator=(const Observation &) = delete;

    bool isActive() const { return m_token != 0 && !m_registry.expired(); }
    void reset()
    {
        if (auto registry = m_registry.lock(); registry && m_token)
            registry->remove(m_token);
        m_token = 0;
        m_registry.reset();
    }

private:
    std::weak_ptr<ObserverRegistryBase> m_registry;
    quint64 m_token = 0;
};

// Callbacks by key, called synchronously in the order they were added. An observer removed while
// a notification is delivered is not called again; one added is called from the next one on.
template <class... Args> class ObserverRegistry : public ObserverRegistryBase
{
public:
    using Callback = std::function<void(Args...)>;

    static Observation add(const std::shared_ptr<ObserverRegistry> &registry, const QString &key, Callback callback)
    {
        const quint64 token = ++registry->m_next;
        registry->m_entries.push_back({token, key, std::make_shared<Callback>(std::move(callback))});
        return Observation(std::weak_ptr<ObserverRegistryBase>(registry), token);
    }

    void remove(quint64 token) override
    {
        std::erase_if(m_entries, [token](const Entry &e) { return e.token == token; });
    }

    bool hasObservers(const QString &key) const
    {
        for (const Entry &e : m_entries) {
            if (e.key == key)
                return true;
        }
        return false;
    }

    void notify(const QString &key, Args... args)
    {
        std::vector<Entry> matching;
        for (const Entry &e : m_entries) {
            if (e.key == key)
                matching.push_back(e);
        }
        for (const Entry &e : matching) {
            if (contains(e.token))
                (*e.callback)(args...);
        }
    }

private:
    struct Entry
    {
        quint64 token;
        QString key;
        std::shared_ptr<Callback> callback;
    };
    bool contains(quint64 token) const
    {
        for (const Entry &e : m_entries) {
            if (e.token == token)
                return true;
        }
        return false;
    }
    std::vector<Entry> m_entries;
    quint64 m_next = 0;
};
