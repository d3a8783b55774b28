#include "platform/media/SJControlLayerAppearManager.h"

#include "platform/dispatch/Timer.h"

#include <cmath>

SJControlLayerAppearManager::SJControlLayerAppearManager() = default;

SJControlLayerAppearManager::~SJControlLayerAppearManager()
{
    if (m_timer)
        m_timer->invalidate();
}

void SJControlLayerAppearManager::setInterval(double seconds)
{
    m_interval = std::isfinite(seconds) && seconds > 0 ? seconds : 5;
    restartTimer();
}

void SJControlLayerAppearManager::needAppear()
{
    set(true);
    restartTimer();
}

void SJControlLayerAppearManager::needDisappear()
{
    if (m_timer)
        m_timer->invalidate();
    m_timer.reset();
    set(false);
}

void SJControlLayerAppearManager::switchAppearState()
{
    if (m_appeared)
        needDisappear();
    else
        needAppear();
}

void SJControlLayerAppearManager::setDisappearAllowed(bool allowed)
{
    if (allowed == m_disappearAllowed)
        return;
    m_disappearAllowed = allowed;
    restartTimer();
}

void SJControlLayerAppearManager::restartTimer()
{
    if (m_timer)
        m_timer->invalidate();
    m_timer.reset();
    if (!m_appeared || !m_disappearAllowed)
        return;
    m_timer = Timer::scheduledTimer(m_interval, false, [alive = std::weak_ptr<bool>(m_alive), this](Timer&) {
        if (alive.lock())
            needDisappear();
    });
}

void SJControlLayerAppearManager::set(bool appeared)
{
    if (appeared == m_appeared)
        return;
    m_appeared = appeared;
    if (auto handler = m_handler)
        handler(appeared);
}
