#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace store {

// A minimal notification list; handlers run in the order they were connected.
class Signal {
public:
    using Handler = std::function<void()>;
    int connect(Handler handler)
    {
        m_handlers.push_back({++m_lastId, std::move(handler)});
        return m_lastId;
    }
    void disconnect(int id)
    {
        std::erase_if(m_handlers, [id](const auto& h) { return h.first == id; });
    }
    void emit() const
    {
        // Copy: a handler may connect or disconnect others.
        auto handlers = m_handlers;
        for (const auto& h : handlers)
            h.second();
    }

private:
    std::vector<std::pair<int, Handler>> m_handlers;
    int m_lastId = 0;
};

} // namespace store
