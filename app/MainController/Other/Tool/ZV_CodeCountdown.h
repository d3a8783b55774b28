#pragma once

#include <memory>
#include <string>

class Timer;
class UILabel;

// The resend countdown of the verification-code pages. start() shows `prefix` and "60秒" in the
// label, then, once a second on the main run loop, `prefix`, the seconds left and "s" (59 down
// to 1), and after the 60th tick "重新发送验证码", when it stops by itself. One countdown per page:
// starting again first stops the running one, so only one timer ever writes a label. The label
// is held weakly; the countdown stops when it is destroyed.
class ZV_CodeCountdown {
public:
    static constexpr int seconds = 60;
    static constexpr const char* resendText = "重新发送验证码";

    // `prefix` goes before each count: "" on the recovery and binding pages, "重新发送验证码 " on
    // the registration page.
    explicit ZV_CodeCountdown(std::string prefix);
    ~ZV_CodeCountdown();
    ZV_CodeCountdown(const ZV_CodeCountdown&) = delete;
    ZV_CodeCountdown& operator=(const ZV_CodeCountdown&) = delete;

    void start(const std::shared_ptr<UILabel>& label);
    // Stops counting; the label keeps its last text.
    void stop();
    // While it counts, a tap on the label must not send again.
    bool isRunning() const { return m_timer != nullptr; }
    const std::shared_ptr<Timer>& timer() const { return m_timer; }

private:
    void tick();

    std::weak_ptr<UILabel> m_label;
    std::string m_prefix;
    int m_remaining = 0;
    std::shared_ptr<Timer> m_timer;
};
