#include "platform/ui/QMUITips.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/ui/CGContext.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIWindow.h"

#include <algorithm>

namespace {

constexpr CGFloat boxCornerRadius = 12;
constexpr CGFloat iconSide = 37;
constexpr CGFloat iconSpacing = 12;
constexpr CGFloat outerMargin = 40;
constexpr CGFloat maxBoxWidth = 300;

std::vector<std::weak_ptr<QMUITips>>& registry()
{
    static std::vector<std::weak_ptr<QMUITips>> tips;
    return tips;
}

std::shared_ptr<UIView> defaultParentView()
{
    auto& app = UIApplication::shared();
    if (auto delegate = app.delegate()) {
        if (auto window = delegate->window())
            return window;
    }
    return app.keyWindow();
}

// The white mark of a success, error or info tip.
class TipIconView : public UIView {
public:
    explicit TipIconView(QMUITips::Kind kind)
        : UIView(CGRect { 0, 0, iconSide, iconSide })
        , m_kind(kind)
    {
        setUserInteractionEnabled(false);
    }

    std::string className() const override { return "QMUITipsIcon"; }

    void draw(CGContext& c, const CGRect&) override
    {
        CGRect b = bounds().insetBy(3, 3);
        c.setStrokeColor(UIColor::white());
        c.setFillColor(UIColor::white());
        c.setLineWidth(3);
        c.setLineCap(CGLineCap::round);
        c.setLineJoin(CGLineJoin::round);
        CGPath path;
        switch (m_kind) {
        case QMUITips::Kind::success:
            path.moveTo({ b.minX() + b.width() * 0.1, b.midY() });
            path.lineTo({ b.minX() + b.width() * 0.4, b.maxY() - b.height() * 0.2 });
            path.lineTo({ b.maxX() - b.width() * 0.05, b.minY() + b.height() * 0.15 });
            break;
        case QMUITips::Kind::error:
            path.moveTo({ b.minX() + 4, b.minY() + 4 });
            path.lineTo({ b.maxX() - 4, b.maxY() - 4 });
            path.moveTo({ b.maxX() - 4, b.minY() + 4 });
            path.lineTo({ b.minX() + 4, b.maxY() - 4 });
            break;
        default:
            path.addEllipse(b);
            path.moveTo({ b.midX(), b.minY() + b.height() * 0.45 });
            path.lineTo({ b.midX(), b.maxY() - b.height() * 0.22 });
            break;
        }
        c.addPath(path);
        c.strokePath();
        if (m_kind == QMUITips::Kind::info) {
            CGPath dot;
            dot.addEllipse({ b.midX() - 2, b.minY() + b.height() * 0.22, 4, 4 });
            c.addPath(dot);
            c.fillPath();
        }
    }

private:
    QMUITips::Kind m_kind;
};

}

QMUITips::QMUITips(Kind kind, std::string text)
    : m_kind(kind)
    , m_text(std::move(text))
    , m_box(UIView::create())
    , m_label(UIView::create<UILabel>())
{
    setUserInteractionEnabled(false);
    m_box->setBackgroundColor(UIColor(0, 0, 0, 0.8));
    m_box->layer()->setCornerRadius(boxCornerRadius);
    m_box->setUserInteractionEnabled(false);
    m_label->setText(m_text);
    m_label->setTextColor(UIColor::white());
    m_label->setFont(UIFont::systemFont(kind == Kind::text ? 16 : 14));
    m_label->setTextAlignment(NSTextAlignment::center);
    m_label->setNumberOfLines(0);
    m_label->setHidden(m_text.empty());
    if (kind == Kind::loading) {
        auto spinner = UIView::create<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::large);
        spinner->setColor(UIColor::white());
        m_icon = spinner;
    } else if (kind != Kind::text) {
        m_icon = UIView::create<TipIconView>(kind);
    }
}

std::shared_ptr<QMUITips> QMUITips::show(Kind kind, const std::string& text,
    const std::shared_ptr<UIView>& view, std::optional<double> hideAfterDelay)
{
    if (!view)
        return nullptr;
    auto tips = UIView::create<QMUITips>(kind, text);
    tips->addSubview(tips->m_box);
    if (tips->m_icon)
        tips->m_box->addSubview(tips->m_icon);
    tips->m_box->addSubview(tips->m_label);
    if (auto spinner = std::dynamic_pointer_cast<UIActivityIndicatorView>(tips->m_icon))
        spinner->startAnimating();
    tips->setFrame(view->bounds());
    view->addSubview(tips);
    tips->layoutIfNeeded();

    auto& list = registry();
    std::erase_if(list, [](const auto& weak) { return weak.expired(); });
    list.push_back(tips);

    if (hideAfterDelay) {
        std::weak_ptr<QMUITips> weak = tips;
        DispatchQueue::main().asyncAfter(DispatchTime::now() + std::max(0.0, *hideAfterDelay), [weak] {
            if (auto t = weak.lock())
                t->hide();
        });
    }
    return tips;
}

std::shared_ptr<QMUITips> QMUITips::showLoadingInView(const std::shared_ptr<UIView>& view)
{
    return show(Kind::loading, {}, view, std::nullopt);
}

std::shared_ptr<QMUITips> QMUITips::showLoading(const std::string& text, const std::shared_ptr<UIView>& view)
{
    return show(Kind::loading, text, view, std::nullopt);
}

std::shared_ptr<QMUITips> QMUITips::showWithText(const std::string& text)
{
    return show(Kind::text, text, defaultParentView(), automaticHideDelay(text));
}

std::shared_ptr<QMUITips> QMUITips::showWithText(
    const std::string& text, const std::shared_ptr<UIView>& view, double hideAfterDelay)
{
    return show(Kind::text, text, view, hideAfterDelay);
}

std::shared_ptr<QMUITips> QMUITips::showSucceed(const std::string& text)
{
    return showSucceed(text, defaultParentView());
}

std::shared_ptr<QMUITips> QMUITips::showSucceed(const std::string& text, const std::shared_ptr<UIView>& view)
{
    return show(Kind::success, text, view, automaticHideDelay(text));
}

std::shared_ptr<QMUITips> QMUITips::showError(const std::string& text)
{
    return showError(text, defaultParentView());
}

std::shared_ptr<QMUITips> QMUITips::showError(const std::string& text, const std::shared_ptr<UIView>& view)
{
    return show(Kind::error, text, view, automaticHideDelay(text));
}

std::shared_ptr<QMUITips> QMUITips::showInfo(const std::string& text)
{
    return showInfo(text, defaultParentView());
}

std::shared_ptr<QMUITips> QMUITips::showInfo(const std::string& text, const std::shared_ptr<UIView>& view)
{
    return show(Kind::info, text, view, automaticHideDelay(text));
}

void QMUITips::hideAllTips()
{
    auto list = std::move(registry());
    registry().clear();
    for (const auto& weak : list) {
        if (auto t = weak.lock())
            t->hide();
    }
}

std::vector<QMUITips::Info> QMUITips::visibleTips()
{
    std::vector<Info> out;
    for (const auto& weak : registry()) {
        auto t = weak.lock();
        if (t && t->isShowing())
            out.push_back({ t->m_kind, t->m_text, t->superview() });
    }
    return out;
}

double QMUITips::automaticHideDelay(const std::string& text)
{
    std::size_t units = 0;
    for (unsigned char byte : text) {
        // Count code points by their lead bytes; continuation bytes do not count.
        if (byte < 0x80)
            units += 1;
        else if ((byte & 0xC0) != 0x80)
            units += 2;
    }
    if (units <= 20)
        return 1.5;
    if (units <= 40)
        return 2.0;
    if (units <= 50)
        return 2.5;
    return 3.0;
}

bool QMUITips::isShowing() const
{
    return superview() && !isHidden();
}

void QMUITips::hide()
{
    if (auto spinner = std::dynamic_pointer_cast<UIActivityIndicatorView>(m_icon))
        spinner->stopAnimating();
    removeFromSuperview();
}

void QMUITips::layoutSubviews()
{
    UIView::layoutSubviews();
    CGRect b = bounds();
    bool hasIcon = m_icon != nullptr;
    bool hasText = !m_text.empty();
    CGFloat padX = hasIcon ? 20 : 16;
    CGFloat padY = hasIcon ? 20 : 12;
    CGFloat maxText = std::max<CGFloat>(0, std::min(b.width() - 2 * outerMargin, maxBoxWidth) - 2 * padX);
    CGSize textSize = hasText ? m_label->sizeThatFits({ maxText, 0 }) : CGSize {};
    textSize.width = std::min(textSize.width, maxText);
    CGFloat contentWidth = std::max(textSize.width, hasIcon ? iconSide : CGFloat(0));
    CGFloat contentHeight
        = (hasIcon ? iconSide : 0) + (hasIcon && hasText ? iconSpacing : 0) + textSize.height;
    CGFloat boxWidth = contentWidth + 2 * padX;
    CGFloat boxHeight = contentHeight + 2 * padY;
    if (hasIcon && !hasText)
        boxWidth = boxHeight = iconSide + 2 * 24;
    CGRect box { b.midX() - boxWidth / 2, b.midY() - boxHeight / 2, boxWidth, boxHeight };
    m_box->setFrame(box);
    CGFloat y = (boxHeight - contentHeight) / 2;
    if (hasIcon) {
        m_icon->setFrame({ (boxWidth - iconSide) / 2, y, iconSide, iconSide });
        y += iconSide + iconSpacing;
    }
    if (hasText)
        m_label->setFrame({ (boxWidth - textSize.width) / 2, y, textSize.width, textSize.height });
}

std::string QMUITips::dumpAttributes() const
{
    static const char* names[] = { "loading", "text", "success", "error", "info" };
    std::string out = std::string("kind=") + names[static_cast<int>(m_kind)];
    if (!m_text.empty())
        out += " text=\"" + m_text + "\"";
    return out;
}
