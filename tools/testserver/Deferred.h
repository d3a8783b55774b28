#pragma once

#include "tools/testserver/ApiServer.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace testserver {

// When a sample's data are read and built: at the server's start, which reports a damaged data
// folder before anything is served, or at the first request that needs them, which keeps the
// start of a test program that never asks for them short (building the large samples is most of
// a server's start). A sample built late answers a damaged folder with an error reply and logs
// why.
enum class SamplePreparation { AtStart, AtFirstUse };

// A value made once, by whichever thread first asks for it; the others wait for it. A failure is
// kept with its message and not tried again: the data folder it came from has not changed.
template<typename T> class Deferred {
public:
    using Maker = std::function<std::shared_ptr<T>(std::string* error)>;

    explicit Deferred(Maker maker)
        : m_maker(std::move(maker))
    { }

    // The value, or null with the message of why it could not be made.
    std::shared_ptr<T> get(std::string* error = nullptr)
    {
        std::lock_guard lock(m_mutex);
        if (m_maker) {
            Maker maker = std::move(m_maker);
            m_maker = nullptr;
            m_value = maker(&m_error);
        }
        if (!m_value && error)
            *error = m_error;
        return m_value;
    }

private:
    std::mutex m_mutex;
    Maker m_maker;
    std::shared_ptr<T> m_value;
    std::string m_error;
};

// The reply of a route whose sample data could not be built; the reason goes to the log.
inline ApiReply unbuiltSample(const std::string& error)
{
    std::fprintf(stderr, "testserver: sample data: %s\n", error.c_str());
    return ApiReply::error(1500, "示例数据有误");
}

// A route over a sample built at the first request that needs it; a sample that could not be
// built answers with unbuiltSample().
template<typename T>
ApiHandler overSample(
    std::shared_ptr<Deferred<T>> deferred, std::function<ApiReply(T&, const ApiCall&)> route)
{
    return [deferred = std::move(deferred), route = std::move(route)](const ApiCall& call) {
        std::string error;
        std::shared_ptr<T> sample = deferred->get(&error);
        if (!sample)
            return unbuiltSample(error);
        return route(*sample, call);
    };
}

}
