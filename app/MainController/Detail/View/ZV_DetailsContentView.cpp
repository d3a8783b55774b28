#include "app/MainController/Detail/View/ZV_DetailsContentView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/MainController/Detail/Cell/ZV_PlayerInfoCell.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/text/UTF16.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UIScrollView.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <algorithm>

namespace {

constexpr CGFloat sideInset = 24;

std::shared_ptr<QMUILabel> makeLabel(UIFont font, const UIColor& color, const std::string& text = {})
{
    auto label = UIView::create<QMUILabel>();
    label->setFont(std::move(font));
    label->setTextColor(color);
    label->setText(text);
    return label;
}

std::string names(const ZV_DetailModel& model, ZV_DetailDataListMembersModel::membersType type)
{
    std::string joined;
    if (!model.members)
        return joined;
    for (const auto& member : *model.members) {
        if (!member || member->type != type)
            continue;
        if (!joined.empty())
            joined += ", ";
        joined += member->name;
    }
    return joined;
}

CGSize fit(const QMUILabel& label, CGFloat width)
{
    return label.sizeThatFits({ width, 100000 });
}

}

std::shared_ptr<ZV_DetailsContentView> ZV_DetailsContentView::make(const CGRect& frame)
{
    auto view = UIView::create<ZV_DetailsContentView>(frame);
    view->setupUI();
    return view;
}

ZV_DetailsContentView::ZV_DetailsContentView(const CGRect& frame)
    : UIView(frame)
{
    setBackgroundColor(UIColor::systemBackground());
}

void ZV_DetailsContentView::setupUI()
{
    UIColor ink = zvadaptive::textColor(colorWithHex("1D1942"));
    m_title = makeLabel(UIFont::systemFont(16, UIFont::Weight::medium), ink, "简介");
    m_closeBtn = UIView::create<QMUIButton>();
    m_closeBtn->setImage(zvadaptive::iconImage(UIImage::named("Close")));
    m_closeBtn->setAccessibilityIdentifier("detail.intro.close");
    m_scrollView = UIView::create<UIScrollView>();
    m_scrollView->setShowsHorizontalScrollIndicator(false);
    m_zvTitle = makeLabel(UIFont::systemFont(20, UIFont::Weight::medium), ink);
    m_zvTitle->setNumberOfLines(0);
    m_zvTitle->setCanPerformCopyAction(true);
    m_fireView = UIView::create<UIImageView>(UIImage::named("Fire"));
    m_fire = makeLabel(UIFont::systemFont(14, UIFont::Weight::medium), colorWithHex("#FF7F48"));
    m_info = makeLabel(UIFont::systemFont(14), zvadaptive::textColor(colorWithHex("1D1942", 0.3)));
    m_actorTitle = makeLabel(UIFont::systemFont(16, UIFont::Weight::medium), ink, "演职人员");
    m_actorInfo = makeLabel(UIFont::systemFont(14), ink);
    m_actorInfo->setNumberOfLines(0);
    m_descTitle = makeLabel(UIFont::systemFont(16, UIFont::Weight::medium), ink, "简介");
    m_descInfo = makeLabel(UIFont::systemFont(14), ink);
    m_descInfo->setNumberOfLines(0);

    addSubview(m_title);
    addSubview(m_closeBtn);
    addSubview(m_scrollView);
    for (const auto& part :
        { std::static_pointer_cast<UIView>(m_zvTitle), std::static_pointer_cast<UIView>(m_fireView),
            std::static_pointer_cast<UIView>(m_fire), std::static_pointer_cast<UIView>(m_info),
            std::static_pointer_cast<UIView>(m_actorTitle), std::static_pointer_cast<UIView>(m_actorInfo),
            std::static_pointer_cast<UIView>(m_descTitle), std::static_pointer_cast<UIView>(m_descInfo) })
        m_scrollView->addSubview(part);

    snp(m_title).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(24);
        make.centerX().equalToSuperview();
    });
    snp(m_closeBtn).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.centerY().equalTo(snp(m_title).centerY());
    });
    snp(m_scrollView).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_title).bottom()).offset(16);
        make.left().right().bottom().equalToSuperview();
    });
}

NSAttributedString ZV_DetailsContentView::creditsText(const ZV_DetailModel& model)
{
    using Role = ZV_DetailDataListMembersModel::membersType;
    std::string text = "导演 " + names(model, Role::director) + "    " + "编剧 "
        + names(model, Role::screenwriter) + "    " + "主演 " + names(model, Role::actor);
    NSAttributes plain;
    plain.font = UIFont::systemFont(14);
    plain.foregroundColor = zvadaptive::textColor(colorWithHex("1D1942"));
    NSMutableAttributedString credits(NSAttributedString(text, plain));
    NSAttributes label;
    label.foregroundColor = zvadaptive::textColor(colorWithHex("1D1942", 0.5));
    for (const char* role : { "主演 ", "导演 ", "编剧 " }) {
        std::size_t at = text.find(role);
        if (at == std::string::npos)
            continue;
        credits.addAttributes(label, NSMakeRange(utf16OffsetFromUtf8(text, at), utf16Length(role)));
    }
    return credits;
}

void ZV_DetailsContentView::reloadData()
{
    m_zvTitle->setText(model ? model->name.value_or("") : std::string());
    m_fire->setText(model ? model->hot.value_or("") : std::string());
    m_info->setText(model ? ZV_PlayerInfoCell::infoText(*model, " / ") : std::string());
    m_actorInfo->setAttributedText(
        model ? creditsText(*model).styledText() : NSAttributedString().styledText());
    m_descInfo->setText(model ? model->content.value_or("") : std::string());
    setNeedsLayout();
}

void ZV_DetailsContentView::layoutSubviews()
{
    UIView::layoutSubviews();
    // The column stacks downwards inside the scroll view; its content ends 24 below the synopsis.
    CGFloat width = std::max<CGFloat>(0, bounds().width() - 2 * sideInset);
    CGFloat y = 8;
    CGSize title = fit(*m_zvTitle, width);
    m_zvTitle->setFrame({ sideInset, y, width, title.height });
    y += title.height + 4;
    CGSize fire = m_fireView->sizeThatFits({});
    m_fireView->setFrame({ sideInset, y, fire.width, fire.height });
    CGSize heat = fit(*m_fire, width);
    CGFloat fireMid = y + fire.height / 2;
    m_fire->setFrame({ sideInset + fire.width + 2, fireMid - heat.height / 2, heat.width, heat.height });
    CGSize info = fit(*m_info, width);
    m_info->setFrame({ m_fire->frame().maxX() + 10, fireMid - info.height / 2,
        std::max<CGFloat>(0, std::min(info.width, sideInset + width - m_fire->frame().maxX() - 10)),
        info.height });
    y = std::max(y + fire.height, m_fire->frame().maxY()) + 25;
    CGSize actorTitle = fit(*m_actorTitle, width);
    m_actorTitle->setFrame({ sideInset, y, actorTitle.width, actorTitle.height });
    y += actorTitle.height + 18;
    CGSize actors = fit(*m_actorInfo, width);
    m_actorInfo->setFrame({ sideInset, y, width, actors.height });
    y += actors.height + 35;
    CGSize descTitle = fit(*m_descTitle, width);
    m_descTitle->setFrame({ sideInset, y, descTitle.width, descTitle.height });
    y += descTitle.height + 16;
    CGSize desc = fit(*m_descInfo, width);
    m_descInfo->setFrame({ sideInset, y, width, desc.height });
    m_scrollView->setContentSize({ bounds().width(), y + desc.height + 24 });
}
