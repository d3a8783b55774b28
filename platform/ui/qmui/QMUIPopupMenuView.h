#pragma once

#include "platform/ui/UIFont.h"
#include "platform/ui/UIImage.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/qmui/QMUIPopupContainerView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMUIPopupMenuView;

// One choice of a pop-up menu: an optional image before a title, and what a tap does (the
// handler usually hides the menu itself).
class QMUIPopupMenuButtonItem : public std::enable_shared_from_this<QMUIPopupMenuButtonItem> {
public:
    using Handler = std::function<void(QMUIPopupMenuButtonItem&)>;

    static std::shared_ptr<QMUIPopupMenuButtonItem> itemWithImage(
        std::optional<UIImage> image, std::string title, Handler handler);

    std::optional<UIImage> image;
    std::string title;
    Handler handler;

    // The menu showing the item, while one does.
    std::shared_ptr<QMUIPopupMenuView> menuView() const { return m_menu.lock(); }
    // The row's button, made by the menu (null before).
    const std::shared_ptr<UIButton>& button() const { return m_button; }

private:
    friend class QMUIPopupMenuView;
    std::weak_ptr<QMUIPopupMenuView> m_menu;
    std::shared_ptr<UIButton> m_button;
};

// A pop-up of choices in rows of `itemHeight`, in sections; a line (sectionSeparatorColor) parts
// the sections and, when asked, a line (itemSeparatorColor) parts the rows. The pop-up is as wide
// as its widest row needs, within the container's limits. A tap on a row runs its item's handler.
class QMUIPopupMenuView : public QMUIPopupContainerView {
public:
    // Defaults for menus made afterwards (the container's own appearance applies too).
    struct Appearance {
        std::optional<UIColor> itemSeparatorColor = UIColor(222 / 255.0, 224 / 255.0, 226 / 255.0, 1);
        std::optional<UIColor> sectionSeparatorColor = UIColor(222 / 255.0, 224 / 255.0, 226 / 255.0, 1);
        // None: the menu's tint colour.
        std::optional<UIColor> itemTitleColor;
    };
    static Appearance& appearance();

    QMUIPopupMenuView();

    std::string className() const override { return "QMUIPopupMenuView"; }

    // One section.
    void setItems(std::vector<std::shared_ptr<QMUIPopupMenuButtonItem>> items);
    const std::vector<std::vector<std::shared_ptr<QMUIPopupMenuButtonItem>>>& itemSections() const
    {
        return m_sections;
    }
    void setItemSections(std::vector<std::vector<std::shared_ptr<QMUIPopupMenuButtonItem>>> sections);

    CGFloat itemHeight = 44;
    // Left and right of a row's content.
    CGFloat padding = 16;
    CGFloat imageMarginRight = 8;
    UIFont itemTitleFont = UIFont::systemFont(16);
    std::optional<UIColor> itemTitleColor;
    std::optional<UIColor> itemSeparatorColor;
    std::optional<UIColor> sectionSeparatorColor;
    bool shouldShowItemSeparator = false;
    bool shouldShowSectionSeparator = true;

    CGSize sizeThatFitsInContentView(CGSize size) const override;
    void layoutSubviews() override;

private:
    void rebuild();
    void styleButton(UIButton& button) const;

    std::vector<std::vector<std::shared_ptr<QMUIPopupMenuButtonItem>>> m_sections;
    std::vector<std::shared_ptr<UIView>> m_separators;
};
