#include "tests/app/support/ReplyGate.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace zvtest {

struct ReplyGate::State {
    mutable std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    bool reached = false;
};

ReplyGate::ReplyGate(testserver::ApiServer& api, std::string path)
    : m_api(api)
    , m_path(std::move(path))
    , m_handler(api.handler(m_path))
    , m_state(std::make_shared<State>())
{
    // The handler keeps the state alive: a call may still be on its way out when the gate goes.
    m_api.handle(m_path, [state = m_state, handler = m_handler](const testserver::ApiCall& call) {
        {
            std::unique_lock lock(state->mutex);
            state->reached = true;
            state->opened.wait_for(lock, std::chrono::seconds(10), [&] { return state->open; });
        }
        return handler ? handler(call) : testserver::ApiReply::error(404, "接口不存在");
    });
}

ReplyGate::~ReplyGate()
{
    open();
    m_api.handle(m_path, m_handler);
}

bool ReplyGate::reached() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->reached;
}

void ReplyGate::open()
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->open = true;
    }
    m_state->opened.notify_all();
}

}
