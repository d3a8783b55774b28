#include "platform/ui/qmui/QMUIEmptyView.h"

#include <algorithm>
#include <cmath>

namespace {

UIColor rgb(int r, int g, int b)
{
    return { r / 255.0, g / 255.0, b / 255.0, 1 };
}

}

QMUIEmptyView::QMUIEmptyView()
    : QMUIEmptyView(CGRect {})
{ }

QMUIEmptyView::QMUIEmptyView(const CGRect& frame)
    : UIView(frame)
    , m_contentView(std::make_shared<UIView>())
    , m_loadingView(std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::medium))
    , m_imageView(std::make_shared<UIImageView>())
    , m_textLabel(std::make_shared<QMUILabel>())
    , m_detailTextLabel(std::make_shared<QMUILabel>())
    , m_actionButton(std::make_shared<QMUIButton>())
    , m_action(std::make_shared<std::function<void()>>())
{
    m_loadingView->setHidesWhenStopped(false);
    m_loadingView->startAnimating();
    m_imageView->setContentMode(UIViewContentMode::center);
    for (const auto& label : { m_textLabel, m_detailTextLabel }) {
        label->setNumberOfLines(0);
        label->setTextAlignment(NSTextAlignment::center);
    }
    m_textLabel->setFont(UIFont::systemFont(15));
    m_textLabel->setTextColor(rgb(93, 100, 110));
    m_detailTextLabel->setFont(UIFont::systemFont(14));
    m_detailTextLabel->setTextColor(rgb(133, 140, 150));
    m_actionButton->setFont(UIFont::systemFont(15));
    m_actionButton->setTitleColor(rgb(49, 189, 243));
    // Shared with the button, which may outlive this view.
    m_actionButton->addAction(UIControlEventTouchUpInside, [action = m_action](UIControl&) {
        if (*action) {
            auto run = *action;
            run();
        }
    });

    m_contentView->addSubview(m_loadingView);
    m_contentView->addSubview(m_imageView);
    m_contentView->addSubview(m_textLabel);
    m_contentView->addSubview(m_detailTextLabel);
    m_contentView->addSubview(m_actionButton);
}

// ---- Content ----

void QMUIEmptyView::contentDidChange()
{
    setNeedsLayout();
    invalidateIntrinsicContentSize();
}

void QMUIEmptyView::setLoadingViewHidden(bool hidden)
{
    m_loadingView->setHidden(hidden);
    if (hidden)
        m_loadingView->stopAnimating();
    else
        m_loadingView->startAnimating();
    contentDidChange();
}

void QMUIEmptyView::setImage(std::optional<UIImage> image)
{
    m_imageView->setImage(std::move(image));
    contentDidChange();
}

void QMUIEmptyView::setTextLabelText(std::string text)
{
    m_textLabel->setText(std::move(text));
    contentDidChange();
}

void QMUIEmptyView::setDetailTextLabelText(std::string text)
{
    m_detailTextLabel->setText(std::move(text));
    contentDidChange();
}

void QMUIEmptyView::setActionButtonTitle(std::string title)
{
    m_actionButton->setTitle(std::move(title));
    contentDidChange();
}

void QMUIEmptyView::setActionButtonAction(std::function<void()> action)
{
    *m_action = std::move(action);
}

// ---- Look ----

void QMUIEmptyView::setTextLabelFont(UIFont font)
{
    m_textLabel->setFont(std::move(font));
    contentDidChange();
}

void QMUIEmptyView::setTextLabelTextColor(UIColor color)
{
    m_textLabel->setTextColor(std::move(color));
}

void QMUIEmptyView::setDetailTextLabelFont(UIFont font)
{
    m_detailTextLabel->setFont(std::move(font));
    contentDidChange();
}

void QMUIEmptyView::setDetailTextLabelTextColor(UIColor color)
{
    m_detailTextLabel->setTextColor(std::move(color));
}

void QMUIEmptyView::setActionButtonFont(UIFont font)
{
    m_actionButton->setFont(std::move(font));
    contentDidChange();
}

void QMUIEmptyView::setActionButtonTitleColor(UIColor color)
{
    m_actionButton->setTitleColor(std::move(color));
}

void QMUIEmptyView::setLoadingViewInsets(UIEdgeInsets insets)
{
    m_loadingViewInsets = insets;
    contentDidChange();
}

void QMUIEmptyView::setImageViewInsets(UIEdgeInsets insets)
{
    m_imageViewInsets = insets;
    contentDidChange();
}

void QMUIEmptyView::setTextLabelInsets(UIEdgeInsets insets)
{
    m_textLabelInsets = insets;
    contentDidChange();
}

void QMUIEmptyView::setDetailTextLabelInsets(UIEdgeInsets insets)
{
    m_detailTextLabelInsets = insets;
    contentDidChange();
}

void QMUIEmptyView::setActionButtonInsets(UIEdgeInsets insets)
{
    m_actionButtonInsets = insets;
    contentDidChange();
}

void QMUIEmptyView::setVerticalOffset(CGFloat offset)
{
    m_verticalOffset = offset;
    setNeedsLayout();
}

// ---- Layout ----

std::vector<QMUIEmptyView::Placement> QMUIEmptyView::stack(CGFloat width) const
{
    std::vector<Placement> out;
    CGFloat y = 0;
    // A part of its own size, centred within the width less its insets.
    auto centred = [&](const std::shared_ptr<UIView>& view, CGSize size, const UIEdgeInsets& in) {
        y += in.top;
        CGFloat x = in.left + std::floor((width - in.left - in.right - size.width) / 2);
        out.push_back({ view, { x, y, size.width, size.height } });
        y += size.height + in.bottom;
    };
    // A label as wide as the view less its insets.
    auto fullWidth = [&](const std::shared_ptr<QMUILabel>& label, const UIEdgeInsets& in) {
        y += in.top;
        CGFloat w = std::max<CGFloat>(0, width - in.left - in.right);
        CGFloat h = std::ceil(label->sizeThatFits({ w, 0 }).height);
        out.push_back({ label, { in.left, y, w, h } });
        y += h + in.bottom;
    };

    if (!m_loadingView->isHidden())
        centred(m_loadingView, m_loadingView->intrinsicContentSize(), m_loadingViewInsets);
    if (const auto& image = m_imageView->image(); image && !image->isEmpty())
        centred(m_imageView, image->size(), m_imageViewInsets);
    if (!m_textLabel->text().empty())
        fullWidth(m_textLabel, m_textLabelInsets);
    if (!m_detailTextLabel->text().empty())
        fullWidth(m_detailTextLabel, m_detailTextLabelInsets);
    if (m_actionButton->currentTitle().value_or("").size() > 0)
        centred(m_actionButton, m_actionButton->sizeThatFits({}), m_actionButtonInsets);
    // Carries the total height.
    out.push_back({ nullptr, { 0, y, 0, 0 } });
    return out;
}

CGSize QMUIEmptyView::sizeThatFits(CGSize size) const
{
    CGFloat width = size.width > 0 ? size.width : bounds().width();
    return { width, stack(width).back().frame.minY() };
}

void QMUIEmptyView::layoutSubviews()
{
    UIView::layoutSubviews();
    // Attached here, not in the constructor: a view can only be a superview once it is owned.
    if (m_contentView->superview().get() != this)
        addSubview(m_contentView);
    CGRect b = bounds();
    auto placements = stack(b.width());
    CGFloat height = placements.back().frame.minY();
    m_contentView->setFrame(
        { 0, std::floor((b.height() - height) / 2 + m_verticalOffset), b.width(), height });
    for (const auto& part : { std::static_pointer_cast<UIView>(m_loadingView),
             std::static_pointer_cast<UIView>(m_imageView), std::static_pointer_cast<UIView>(m_textLabel),
             std::static_pointer_cast<UIView>(m_detailTextLabel),
             std::static_pointer_cast<UIView>(m_actionButton) }) {
        auto it = std::find_if(
            placements.begin(), placements.end(), [&](const auto& p) { return p.view == part; });
        bool shown = it != placements.end();
        if (part != m_loadingView)
            part->setHidden(!shown);
        if (shown)
            part->setFrame(it->frame);
    }
}
