#include "platform/dispatch/DispatchQueue.h"

#include "platform/dispatch/RunLoop.h"
#include "platform/dispatch/detail/MainThread.h"
#include "platform/dispatch/detail/QueueCore.h"

DispatchQueue::DispatchQueue(std::shared_ptr<detail::QueueCore> core, std::string label)
    : m_core(std::move(core))
    , m_label(std::move(label))
{ }

DispatchQueue::~DispatchQueue() = default;

DispatchQueue& DispatchQueue::main()
{
    // The process-wide queues are never destroyed: work may reach them late in process exit.
    static DispatchQueue* queue = [] {
        RunLoop::main();
        return new DispatchQueue(std::make_shared<detail::MainQueueCore>(), "main");
    }();
    return *queue;
}

DispatchQueue& DispatchQueue::global()
{
    static DispatchQueue* queue = new DispatchQueue(std::make_shared<detail::GlobalQueueCore>(), "global");
    return *queue;
}

std::shared_ptr<DispatchQueue> DispatchQueue::makeSerial(std::string label)
{
    return std::make_shared<DispatchQueue>(std::make_shared<detail::SerialQueueCore>(), std::move(label));
}

void DispatchQueue::async(std::function<void()> work)
{
    if (!work)
        return;
    m_core->submit(std::move(work));
}

void DispatchQueue::asyncAfter(DispatchTime deadline, std::function<void()> work)
{
    if (!work)
        return;
    detail::QueueCore::submitAt(m_core, deadline.seconds, std::move(work));
}

bool DispatchQueue::isMainThread()
{
    return detail::isMainThread();
}
