#include "app/MainController/Mine/PersonalData/ZV_PersonalDataCollCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ParsableURL.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/imageloading/UIImageViewWebCache.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/layout/UIViewLayout.h"

namespace {

std::shared_ptr<UILabel> makeLabel(NSTextAlignment alignment)
{
    auto label = UIView::create<UILabel>();
    label->setTextAlignment(alignment);
    label->setFont(UIFont::systemFont(14));
    label->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    return label;
}

}

ZV_PersonalDataCollCell::ZV_PersonalDataCollCell()
    : ZV_PersonalDataCollCell(CGRect {})
{ }

ZV_PersonalDataCollCell::ZV_PersonalDataCollCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_headImageView(UIView::create<UIImageView>(UIImage::named("mine_user")))
    , m_iconView(UIView::create<UIImageView>(zvadaptive::iconImage(UIImage::named("mine_arrow"))))
    , m_desLb(makeLabel(NSTextAlignment::right))
    , m_titleLb(makeLabel(NSTextAlignment::left))
{
    layer()->setCornerRadius(16);
    setClipsToBounds(true);
    setBackgroundColor(zvadaptive::fillColor(colorWithHex("F5F5F5")));
    m_headImageView->layer()->setCornerRadius(34);
    m_headImageView->setClipsToBounds(true);
    m_headImageView->setContentMode(UIViewContentMode::scaleAspectFill);

    const std::shared_ptr<UIView>& content = contentView();
    for (const std::shared_ptr<UIView>& subview :
        std::initializer_list<std::shared_ptr<UIView>> { m_headImageView, m_iconView, m_desLb, m_titleLb })
        content->addSubview(subview);
    snp(m_headImageView).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.centerY().equalToSuperview();
        make.width().height().equalTo(68);
    });
    snp(m_iconView).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-16);
        make.centerY().equalToSuperview();
        make.width().height().equalTo(24);
    });
    snp(m_desLb).makeConstraints([this](ConstraintMaker& make) {
        make.top().bottom().equalToSuperview();
        make.right().equalTo(snp(m_iconView).left()).offset(-4);
    });
    // The title keeps its natural width; the value takes the rest.
    snp(m_titleLb).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(24);
        make.right().equalTo(snp(m_desLb).left()).offset(-14);
        make.top().bottom().equalToSuperview();
    });
    setContentHuggingPriority(*m_titleLb, 750, UILayoutConstraintAxis::horizontal);
}

void ZV_PersonalDataCollCell::setModel(std::shared_ptr<ZV_UserInfoModel> model)
{
    m_model = std::move(model);
    refresh();
}

void ZV_PersonalDataCollCell::refresh()
{
    bool head = rowType == ZV_PersonalDataRowType::head;
    m_headImageView->setHidden(!head);
    m_iconView->setHidden(head);
    m_desLb->setHidden(head);
    switch (rowType) {
    case ZV_PersonalDataRowType::head:
        m_titleLb->setText("设置头像");
        if (m_model && parsesAsURL(m_model->avatar))
            sd_setImage(*m_headImageView, m_model->avatar, UIImage::named("mine_user"));
        else
            m_headImageView->setImage(UIImage::named("mine_user"));
        break;
    case ZV_PersonalDataRowType::nickName:
        m_titleLb->setText("昵称");
        m_desLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
        m_desLb->setText(m_model ? m_model->nickname : std::string());
        break;
    case ZV_PersonalDataRowType::userName:
        m_titleLb->setText("用户名（可用于登录）");
        m_desLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
        m_desLb->setText(m_model ? m_model->username : std::string());
        break;
    case ZV_PersonalDataRowType::phone:
        m_titleLb->setText("绑定手机");
        showBinding(m_model ? m_model->phone : std::string());
        break;
    case ZV_PersonalDataRowType::mail:
        m_titleLb->setText("绑定邮箱");
        showBinding(m_model ? m_model->email : std::string());
        break;
    case ZV_PersonalDataRowType::pass:
        m_titleLb->setText("修改密码");
        m_desLb->setText("");
        break;
    }
}

void ZV_PersonalDataCollCell::showBinding(const std::string& value)
{
    // A reused cell may come from another row: every row sets the colour it shows.
    if (value.empty()) {
        m_desLb->setText("暂未绑定");
        m_desLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942", 0.3)));
    } else {
        m_desLb->setText(value);
        m_desLb->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    }
}
