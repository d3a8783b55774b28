#include "platform/ui/qmui/QMUIPopupMenuView.h"

#include "platform/ui/TextLayout.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"

#include <algorithm>

namespace {

constexpr CGFloat separatorThickness = 0.5;

}

std::shared_ptr<QMUIPopupMenuButtonItem> QMUIPopupMenuButtonItem::itemWithImage(
    std::optional<UIImage> image, std::string title, Handler handler)
{
    auto item = std::make_shared<QMUIPopupMenuButtonItem>();
    item->image = std::move(image);
    item->title = std::move(title);
    item->handler = std::move(handler);
    return item;
}

QMUIPopupMenuView::Appearance& QMUIPopupMenuView::appearance()
{
    static Appearance defaults;
    return defaults;
}

QMUIPopupMenuView::QMUIPopupMenuView()
{
    const Appearance& a = appearance();
    itemSeparatorColor = a.itemSeparatorColor;
    sectionSeparatorColor = a.sectionSeparatorColor;
    itemTitleColor = a.itemTitleColor;
    contentEdgeInsets = { 8, 0, 8, 0 };
}

void QMUIPopupMenuView::setItems(std::vector<std::shared_ptr<QMUIPopupMenuButtonItem>> items)
{
    setItemSections({ std::move(items) });
}

void QMUIPopupMenuView::setItemSections(
    std::vector<std::vector<std::shared_ptr<QMUIPopupMenuButtonItem>>> sections)
{
    for (auto& section : sections)
        section.erase(std::remove(section.begin(), section.end(), nullptr), section.end());
    sections.erase(std::remove_if(sections.begin(), sections.end(), [](const auto& s) { return s.empty(); }),
        sections.end());
    m_sections = std::move(sections);
    rebuild();
}

void QMUIPopupMenuView::styleButton(UIButton& button) const
{
    button.setFont(itemTitleFont);
    button.setTitleColor(itemTitleColor.value_or(tintColor()));
    button.setContentHorizontalAlignment(UIControlContentHorizontalAlignment::left);
    button.setContentEdgeInsets({ 0, padding, 0, padding });
    bool hasImage = button.currentImage() && !button.currentImage()->isEmpty();
    CGFloat gap = hasImage ? imageMarginRight : 0;
    button.setTitleEdgeInsets({ 0, gap, 0, -gap });
    button.setBackgroundImage(qmui_imageWithColor(UIColor(0, 0, 0, 0.06)), UIControlStateHighlighted);
}

void QMUIPopupMenuView::rebuild()
{
    for (const auto& view : std::vector(contentView()->subviews()))
        view->removeFromSuperview();
    m_separators.clear();
    std::weak_ptr<QMUIPopupMenuView> weakMenu = weak_from_this().expired()
        ? std::weak_ptr<QMUIPopupMenuView>()
        : std::static_pointer_cast<QMUIPopupMenuView>(sharedFromThis());
    for (const auto& section : m_sections) {
        for (const auto& item : section) {
            auto button = std::make_shared<UIButton>();
            button->setTitle(item->title);
            button->setImage(item->image);
            std::weak_ptr<QMUIPopupMenuButtonItem> weakItem = item;
            button->addAction(UIControlEventTouchUpInside, [weakItem](UIControl&) {
                auto strong = weakItem.lock();
                if (strong && strong->handler)
                    strong->handler(*strong);
            });
            item->m_button = button;
            item->m_menu = weakMenu;
            contentView()->addSubview(button);
        }
    }
    setNeedsLayout();
}

CGSize QMUIPopupMenuView::sizeThatFitsInContentView(CGSize size) const
{
    CGFloat width = 0;
    int rows = 0;
    for (const auto& section : m_sections) {
        for (const auto& item : section) {
            CGFloat row = padding * 2 + TextLayout::measure(item->title, itemTitleFont).width;
            if (item->image && !item->image->isEmpty())
                row += item->image->size().width + imageMarginRight;
            width = std::max(width, row);
            ++rows;
        }
    }
    return { std::min(width, size.width), rows * itemHeight };
}

void QMUIPopupMenuView::layoutSubviews()
{
    QMUIPopupContainerView::layoutSubviews();
    for (const auto& line : m_separators)
        line->removeFromSuperview();
    m_separators.clear();
    CGFloat width = contentView()->bounds().width();
    auto addLine = [&](CGFloat y, const std::optional<UIColor>& color) {
        auto line
            = std::make_shared<UIView>(CGRect { 0, y - separatorThickness / 2, width, separatorThickness });
        line->setBackgroundColor(color);
        line->setUserInteractionEnabled(false);
        contentView()->addSubview(line);
        m_separators.push_back(line);
    };
    CGFloat y = 0;
    for (std::size_t s = 0; s < m_sections.size(); ++s) {
        if (s > 0 && shouldShowSectionSeparator)
            addLine(y, sectionSeparatorColor);
        for (std::size_t i = 0; i < m_sections[s].size(); ++i) {
            if (i > 0 && shouldShowItemSeparator)
                addLine(y, itemSeparatorColor);
            const auto& button = m_sections[s][i]->button();
            if (!button)
                continue;
            styleButton(*button);
            button->setFrame({ 0, y, width, itemHeight });
            y += itemHeight;
        }
    }
}
