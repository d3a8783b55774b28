#include "app/MainController/Detail/View/ZV_SourceContentFullView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailDataListPlayFromModel.h"
#include "app/Extensions/ViewBorder.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Detail/View/ZV_SourceContentListView.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/effects/UIVisualEffectView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUILabel.h"

ZV_SourceContentFullView::ZV_SourceContentFullView(const CGRect& frame)
    : UIView(frame)
    , m_blurView(UIView::create<UIVisualEffectView>(UIBlurEffect::qmui_effectWithBlurRadius(20)))
    , m_stackView(UIView::create<UIStackView>())
{ }

std::shared_ptr<ZV_SourceContentFullView> ZV_SourceContentFullView::make(const CGRect& frame)
{
    auto view = UIView::create<ZV_SourceContentFullView>(frame);
    view->setupUI();
    return view;
}

void ZV_SourceContentFullView::setupUI()
{
    roundCornersKeepingBackdrop(*this, 1 | 4, 16);
    m_blurView->qmui_setForegroundColor(UIColor::black().withAlphaComponent(0.2));
    m_stackView->setAxis(UILayoutConstraintAxis::vertical);
    m_stackView->setDistribution(UIStackViewDistribution::equalSpacing);
    m_stackView->setSpacing(8);
    addSubview(m_blurView);
    addSubview(m_stackView);
    snp(m_blurView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_stackView).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(40);
        make.centerY().equalToSuperview();
        make.width().equalTo(200);
    });
}

std::vector<std::shared_ptr<ZV_SourceContentListView>> ZV_SourceContentFullView::rows() const
{
    std::vector<std::shared_ptr<ZV_SourceContentListView>> rows;
    for (const auto& view : m_stackView->arrangedSubviews()) {
        if (auto row = std::dynamic_pointer_cast<ZV_SourceContentListView>(view))
            rows.push_back(row);
    }
    return rows;
}

void ZV_SourceContentFullView::reloadRows()
{
    std::weak_ptr<UIView> weak = weakFromThis();
    for (const auto& source : list) {
        if (!source)
            continue;
        auto row = ZV_SourceContentListView::make();
        row->layer()->setCornerRadius(0);
        row->setClipsToBounds(true);
        row->setBackgroundColor(UIColor::clear());
        bool inUse = source->list && !source->list->empty();
        row->name()->setText(source->name.value_or(""));
        row->name()->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
        row->name()->setTextColor(inUse ? colorWithHex("03FFE1") : UIColor::white());
        // The second label carries the count here; the source's note is not shown.
        row->tips()->setText(source->total.value_or("") + "个视频");
        row->tips()->setTextColor(UIColor::white().withAlphaComponent(0.5));
        addBottomBorder(*row, UIColor::white().withAlphaComponent(0.2));
        std::string code = source->code.value_or("");
        addTapAction(*row, [weak, code](UITapGestureRecognizer&) {
            auto self = std::static_pointer_cast<ZV_SourceContentFullView>(weak.lock());
            if (self && self->clickSource)
                self->clickSource(code);
        });
        m_stackView->addArrangedSubview(row);
        snp(row).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(rowHeight); });
    }
}
