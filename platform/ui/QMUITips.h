#pragma once

#include "platform/ui/UIActivityIndicatorView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UIView.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// Tips of the UI component framework: a rounded dark box with white text (and a spinner or an
// icon) centred in a view, over the whole of it without taking its touches. Loading tips stay
// until they are hidden; the others hide themselves after a delay on the main run loop's clock
// (by default one that grows with the length of the text). Main thread only.
class QMUITips : public UIView {
public:
    enum class Kind { loading, text, success, error, info };

    // A tip on screen, for tests and the device shell.
    struct Info {
        Kind kind;
        std::string text;
        std::shared_ptr<UIView> parentView;
    };

    // ---- Showing ----
    // The parent view of the calls without one: the application delegate's window, else the key
    // window. Without a parent view nothing is shown and nullptr comes back.
    static std::shared_ptr<QMUITips> showLoadingInView(const std::shared_ptr<UIView>& view);
    static std::shared_ptr<QMUITips> showLoading(
        const std::string& text, const std::shared_ptr<UIView>& view);
    static std::shared_ptr<QMUITips> showWithText(const std::string& text);
    static std::shared_ptr<QMUITips> showWithText(
        const std::string& text, const std::shared_ptr<UIView>& view, double hideAfterDelay);
    static std::shared_ptr<QMUITips> showSucceed(const std::string& text);
    static std::shared_ptr<QMUITips> showSucceed(
        const std::string& text, const std::shared_ptr<UIView>& view);
    static std::shared_ptr<QMUITips> showError(const std::string& text);
    static std::shared_ptr<QMUITips> showError(const std::string& text, const std::shared_ptr<UIView>& view);
    static std::shared_ptr<QMUITips> showInfo(const std::string& text);
    static std::shared_ptr<QMUITips> showInfo(const std::string& text, const std::shared_ptr<UIView>& view);

    // Hides every tip, in every view, at once.
    static void hideAllTips();
    // Tips on screen, oldest first.
    static std::vector<Info> visibleTips();

    // Seconds a tip of this text stays: 1.5 up to 20 units, 2 up to 40, 2.5 up to 50, 3 beyond,
    // counting each non-ASCII character as two units.
    static double automaticHideDelay(const std::string& text);

    QMUITips(Kind kind, std::string text);
    std::string className() const override { return "QMUITips"; }

    Kind kind() const { return m_kind; }
    const std::string& text() const { return m_text; }
    bool isShowing() const;
    void hide();

    void layoutSubviews() override;
    std::string dumpAttributes() const override;

private:
    static std::shared_ptr<QMUITips> show(Kind kind, const std::string& text,
        const std::shared_ptr<UIView>& view, std::optional<double> hideAfterDelay);

    Kind m_kind;
    std::string m_text;
    std::shared_ptr<UIView> m_box;
    std::shared_ptr<UIView> m_icon;
    std::shared_ptr<UILabel> m_label;
};
