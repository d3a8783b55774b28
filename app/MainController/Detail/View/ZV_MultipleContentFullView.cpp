#include "app/MainController/Detail/View/ZV_MultipleContentFullView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/ViewBorder.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Detail/View/ZV_SourceContentListView.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/effects/UIVisualEffectView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUILabel.h"

namespace {

constexpr const char* rateTitles[ZV_MultipleContentFullView::rateCount]
    = { "0.5X", "0.75X", "1.0X", "1.25X", "1.5X", "2.0X" };

}

double ZV_MultipleContentFullView::rateAt(int index)
{
    double rate = 0.5 + 0.25 * index;
    return rate == 1.75 ? 2.0 : rate;
}

std::string ZV_MultipleContentFullView::rateTitle(int index)
{
    return index >= 0 && index < rateCount ? rateTitles[index] : std::string();
}

std::shared_ptr<ZV_MultipleContentFullView> ZV_MultipleContentFullView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_MultipleContentFullView>(frame);
    view->setupUI();
    return view;
}

ZV_MultipleContentFullView::ZV_MultipleContentFullView(const CGRect& frame)
    : UIView(frame)
{ }

const std::shared_ptr<UIVisualEffectView>& ZV_MultipleContentFullView::blurView()
{
    if (!m_blurView) {
        m_blurView = std::make_shared<UIVisualEffectView>(UIBlurEffect::qmui_effectWithBlurRadius(20));
        m_blurView->qmui_setForegroundColor(UIColor::black().withAlphaComponent(0.2));
    }
    return m_blurView;
}

const std::shared_ptr<UIStackView>& ZV_MultipleContentFullView::stackView()
{
    if (!m_stackView) {
        m_stackView = std::make_shared<UIStackView>();
        m_stackView->setAxis(UILayoutConstraintAxis::vertical);
        m_stackView->setDistribution(UIStackViewDistribution::equalSpacing);
        m_stackView->setSpacing(8);
    }
    return m_stackView;
}

std::vector<std::shared_ptr<ZV_SourceContentListView>> ZV_MultipleContentFullView::rows()
{
    std::vector<std::shared_ptr<ZV_SourceContentListView>> rows;
    for (const auto& view : stackView()->arrangedSubviews()) {
        if (auto row = std::dynamic_pointer_cast<ZV_SourceContentListView>(view))
            rows.push_back(row);
    }
    return rows;
}

void ZV_MultipleContentFullView::setupUI()
{
    roundCornersKeepingBackdrop(*this, 1 | 4, 16);
    addSubview(blurView());
    addSubview(stackView());
    snp(m_blurView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_stackView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(40);
        make.centerY().equalToSuperview();
        make.width().equalTo(200);
    });
}

void ZV_MultipleContentFullView::buildRows()
{
    double rate = player ? player->rate() : 1.0;
    std::weak_ptr<UIView> weak = weakFromThis();
    for (int index = 0; index < rateCount; ++index) {
        auto row = ZV_SourceContentListView::make();
        row->layer()->setCornerRadius(0);
        row->setClipsToBounds(true);
        row->setBackgroundColor(UIColor::clear());
        row->count()->setText("");
        row->name()->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
        bool current = rate == 0.5 + 0.25 * index || (rate == 2.0 && index == rateCount - 1);
        row->name()->setTextColor(current ? colorWithHex("03FFE1") : UIColor::white());
        addBottomBorder(*row, UIColor::white().withAlphaComponent(0.2));
        row->name()->setText(rateTitles[index]);
        addTapAction(*row, [weak, index](UITapGestureRecognizer&) {
            if (auto self = std::static_pointer_cast<ZV_MultipleContentFullView>(weak.lock()))
                self->selectRate(index);
        });
        stackView()->addArrangedSubview(row);
        snp(row).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(54); });
    }
}

void ZV_MultipleContentFullView::selectRate(int index)
{
    if (player)
        player->setRate(rateAt(index));
    if (clickSelect)
        clickSelect(index);
}
