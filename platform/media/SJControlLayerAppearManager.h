#pragma once

#include <functional>
#include <memory>

class Timer;

// Whether a player's edge controls show. Shown controls go by themselves `interval` seconds
// later (dispatch clock) while that is allowed, which the player allows only while it plays.
// Main thread.
class SJControlLayerAppearManager {
public:
    using Handler = std::function<void(bool isAppeared)>;

    SJControlLayerAppearManager();
    ~SJControlLayerAppearManager();
    SJControlLayerAppearManager(const SJControlLayerAppearManager&) = delete;
    SJControlLayerAppearManager& operator=(const SJControlLayerAppearManager&) = delete;

    double interval() const { return m_interval; }
    void setInterval(double seconds);
    bool isAppeared() const { return m_appeared; }

    void needAppear();
    void needDisappear();
    void switchAppearState();
    void setDisappearAllowed(bool allowed);

    void setHandler(Handler handler) { m_handler = std::move(handler); }

private:
    void restartTimer();
    void set(bool appeared);

    double m_interval = 5;
    bool m_appeared = true;
    bool m_disappearAllowed = false;
    Handler m_handler;
    std::shared_ptr<Timer> m_timer;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
