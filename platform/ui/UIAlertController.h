#pragma once

#include "platform/ui/UILabel.h"
#include "platform/ui/UIViewController.h"
#include "platform/ui/controls/UITextField.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class UIAlertActionStyle { defaultStyle, cancel, destructive };

// One button of an alert: a title, a style and the handler run when it is chosen.
class UIAlertAction {
public:
    using Handler = std::function<void(UIAlertAction&)>;

    static std::shared_ptr<UIAlertAction> make(
        std::string title, UIAlertActionStyle style, Handler handler = {});
    UIAlertAction(std::string title, UIAlertActionStyle style, Handler handler);

    const std::string& title() const { return m_title; }
    UIAlertActionStyle style() const { return m_style; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    const Handler& handler() const { return m_handler; }

private:
    std::string m_title;
    UIAlertActionStyle m_style;
    Handler m_handler;
    bool m_enabled = true;
};

enum class UIAlertControllerStyle { actionSheet, alert };

// A message with buttons, presented like any controller (over full screen: the presenter stays
// on screen). An alert is a box in the middle of a dimmed screen, its buttons side by side when
// there are two (the cancel one on the left), else stacked with the cancel one last; an action
// sheet rises from the bottom with the cancel button apart under the others. Choosing an action
// dismisses the alert (animated) and then runs the action's handler.
class UIAlertController : public UIViewController {
public:
    static std::shared_ptr<UIAlertController> make(
        std::string title, std::string message, UIAlertControllerStyle style = UIAlertControllerStyle::alert);
    UIAlertController(std::string title, std::string message, UIAlertControllerStyle style);

    std::string className() const override { return "UIAlertController"; }

    const std::string& message() const { return m_message; }
    void setMessage(std::string message);
    UIAlertControllerStyle preferredStyle() const { return m_style; }

    // A second cancel action is refused (with a console line), as on the phone.
    void addAction(std::shared_ptr<UIAlertAction> action);
    const std::vector<std::shared_ptr<UIAlertAction>>& actions() const { return m_actions; }
    std::shared_ptr<UIAlertAction> actionWithTitle(const std::string& title) const;

    // Alerts only (refused with a console line for action sheets): a field under the message,
    // configured by the closure. The first field takes the keyboard when the alert has appeared.
    void addTextField(const std::function<void(UITextField&)>& configure = {});
    const std::vector<std::shared_ptr<UITextField>>& textFields() const { return m_textFields; }

    // Chooses the first enabled action with this title, as a tap on its button does: editing
    // ends, the alert is dismissed and the handler runs once it is gone. Only the first choice
    // counts. Returns whether an action was chosen.
    bool tapAction(const std::string& title);
    bool tapAction(const std::shared_ptr<UIAlertAction>& action);

    void setTitle(std::string title) override;
    void loadView() override;
    void viewDidAppear(bool animated) override;

protected:
    void layoutChildren() override;

private:
    void rebuild();
    void layoutAlert(const CGRect& bounds);
    void layoutSheet(const CGRect& bounds);

    std::string m_message;
    UIAlertControllerStyle m_style;
    std::vector<std::shared_ptr<UIAlertAction>> m_actions;
    std::vector<std::shared_ptr<UITextField>> m_textFields;
    bool m_chosen = false;

    std::shared_ptr<UIView> m_box;
    std::shared_ptr<UIView> m_cancelBox;
    std::shared_ptr<UILabel> m_titleLabel;
    std::shared_ptr<UILabel> m_messageLabel;
    std::vector<std::shared_ptr<UIView>> m_buttons;
    std::vector<std::shared_ptr<UIView>> m_separators;
};
