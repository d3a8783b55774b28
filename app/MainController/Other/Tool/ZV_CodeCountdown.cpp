#include "app/MainController/Other/Tool/ZV_CodeCountdown.h"

#include "platform/dispatch/Timer.h"
#include "platform/ui/UILabel.h"

#include <utility>

ZV_CodeCountdown::ZV_CodeCountdown(std::string prefix)
    : m_prefix(std::move(prefix))
{ }

ZV_CodeCountdown::~ZV_CodeCountdown()
{
    stop();
}

void ZV_CodeCountdown::start(const std::shared_ptr<UILabel>& label)
{
    stop();
    m_label = label;
    m_remaining = seconds;
    if (label)
        label->setText(m_prefix + std::to_string(seconds) + "秒");
    // The timer lives no longer than this countdown (stop() in the destructor), so it may call in.
    m_timer = Timer::scheduledTimer(1.0, true, [this](Timer&) { tick(); });
}

void ZV_CodeCountdown::stop()
{
    if (!m_timer)
        return;
    m_timer->invalidate();
    m_timer.reset();
}

void ZV_CodeCountdown::tick()
{
    --m_remaining;
    auto label = m_label.lock();
    if (m_remaining < 1) {
        if (label)
            label->setText(resendText);
        stop();
        return;
    }
    if (label)
        label->setText(m_prefix + std::to_string(m_remaining) + "s");
}
