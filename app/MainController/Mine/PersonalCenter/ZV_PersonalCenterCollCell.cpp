#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterCollCell.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/NoticeHelpers.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptiveImageView.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/UIViewLayout.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <optional>

namespace {

// The row's image views are made adaptive in the constructor.
ZVAdaptiveImageView& adaptive(UIImageView& view)
{
    return static_cast<ZVAdaptiveImageView&>(view);
}

}

UIColor ZV_PersonalCenterCollCell::cardColor()
{
    return zvadaptive::raisedColor(colorWithHex("F5F5F5"));
}

ZV_PersonalCenterCollCell::ZV_PersonalCenterCollCell()
    : ZV_PersonalCenterCollCell(CGRect {})
{ }

ZV_PersonalCenterCollCell::ZV_PersonalCenterCollCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_imageView(UIView::create<ZVAdaptiveImageView>())
    , m_iconView(UIView::create<ZVAdaptiveImageView>())
    , m_titleLb(UIView::create<UILabel>())
    , m_numLb(UIView::create<QMUILabel>())
{
    makeCorner(*this, 16);
    setBackgroundColor(cardColor());
    // The arrow is drawn a pale grey that fades on the grey card: it takes the faded navy of the
    // page's secondary marks.
    if (auto arrow = UIImage::named("mine_arrow"))
        adaptive(*m_iconView).setAdaptiveImage(zvadaptive::iconInColor(*arrow, colorWithHex("1D1942", 0.55)));
    m_titleLb->setTextAlignment(NSTextAlignment::left);
    m_titleLb->setFont(UIFont::systemFont(14));
    m_titleLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_numLb->setTextAlignment(NSTextAlignment::center);
    m_numLb->setFont(UIFont::systemFont(12, UIFont::Weight::medium));
    m_numLb->setTextColor(UIColor::white());
    m_numLb->setBackgroundColor(zvadaptive::whiteTextFill(colorWithHex("#EF5252")));
    makeCorner(*m_numLb, 11.5);
    m_numLb->setContentEdgeInsets({ 0, 4, 0, 4 });
    m_numLb->setHidden(true);

    const std::shared_ptr<UIView>& content = contentView();
    for (const std::shared_ptr<UIView>& subview :
        std::initializer_list<std::shared_ptr<UIView>> { m_imageView, m_iconView, m_titleLb, m_numLb })
        content->addSubview(subview);
    snp(m_imageView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(26);
        make.centerY().equalToSuperview();
        make.width().height().equalTo(20);
    });
    snp(m_iconView).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-16);
        make.centerY().equalToSuperview();
        make.width().height().equalTo(24);
    });
    snp(m_numLb).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalTo(snp(m_iconView).left()).offset(-8);
        make.centerY().equalToSuperview();
        make.height().equalTo(23);
        make.width().greaterThanOrEqualTo(23);
    });
    setContentHuggingPriority(*m_numLb, 750, UILayoutConstraintAxis::horizontal);
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_imageView).right()).offset(14);
        make.right().equalTo(snp(m_numLb).left()).offset(-14);
        make.centerY().equalToSuperview();
    });
}

void ZV_PersonalCenterCollCell::setRowType(PersonalCenterRowType rowType)
{
    m_rowType = rowType;
    const auto& config = ConfigSingleton::shared().zv_configData;
    // A reused cell loses the badge of its last row before it takes the new one.
    m_numLb->setHidden(!(rowType == PersonalCenterRowType::message && hasNewNotice() && config
        && !config->new_notice.empty()));

    struct Look {
        const char* icon;
        const char* title;
        const char* identifier;
    };
    std::optional<Look> look;
    switch (rowType) {
    case PersonalCenterRowType::message:
        look = Look { "mine_message", "系统消息", "mine.message" };
        m_numLb->setText(config ? config->new_notice : std::string());
        break;
    case PersonalCenterRowType::setting:
        look = Look { "mine_setting", "设置", "mine.settingRow" };
        break;
    case PersonalCenterRowType::contact:
        look = Look { "mine_contact", "联系我们", "mine.contact" };
        break;
    case PersonalCenterRowType::feedback:
        look = Look { "mine_feedback", "意见反馈", "mine.feedback" };
        break;
    case PersonalCenterRowType::about:
        look = Look { "mine_about", "关于我们", "mine.about" };
        break;
    case PersonalCenterRowType::share:
        look = Look { "mine_share", "我要分享", "mine.share" };
        break;
    case PersonalCenterRowType::help:
        look = Look { "mine_help", "帮助中心", "mine.help" };
        break;
    case PersonalCenterRowType::advert:
    case PersonalCenterRowType::user:
    case PersonalCenterRowType::collect:
    case PersonalCenterRowType::record:
    case PersonalCenterRowType::download:
        break;
    }
    if (!look)
        return;
    adaptive(*m_imageView).setAdaptiveImage(UIImage::named(look->icon));
    m_titleLb->setText(look->title);
    setAccessibilityIdentifier(look->identifier);
}
