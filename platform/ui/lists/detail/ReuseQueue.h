#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace detail {

// The registered makers and the idle views of a list, by reuse identifier.
template<typename View> class ReuseQueue {
public:
    using Factory = std::function<std::shared_ptr<View>()>;

    struct Dequeued {
        std::shared_ptr<View> view;
        bool reused = false;
    };

    // Registering again replaces the maker and drops the idle views made by the old one.
    void registerFactory(const std::string& identifier, Factory factory)
    {
        m_factories[identifier] = std::move(factory);
        m_idle.erase(identifier);
    }
    bool isRegistered(const std::string& identifier) const { return m_factories.count(identifier) != 0; }

    // An idle view, else a new one; empty when nothing is registered under the identifier.
    Dequeued dequeue(const std::string& identifier)
    {
        if (auto it = m_idle.find(identifier); it != m_idle.end() && !it->second.empty()) {
            auto view = std::move(it->second.back());
            it->second.pop_back();
            return { std::move(view), true };
        }
        auto factory = m_factories.find(identifier);
        if (factory == m_factories.end() || !factory->second)
            return {};
        return { factory->second(), false };
    }

    void enqueue(const std::string& identifier, std::shared_ptr<View> view)
    {
        if (!view || identifier.empty() || !isRegistered(identifier))
            return;
        m_idle[identifier].push_back(std::move(view));
    }

    std::size_t idleCount() const
    {
        std::size_t count = 0;
        for (const auto& [identifier, views] : m_idle)
            count += views.size();
        return count;
    }

private:
    std::map<std::string, Factory> m_factories;
    std::map<std::string, std::vector<std::shared_ptr<View>>> m_idle;
};

}
