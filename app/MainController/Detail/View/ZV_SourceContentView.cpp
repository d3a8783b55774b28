#include "app/MainController/Detail/View/ZV_SourceContentView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailDataListPlayFromModel.h"
#include "app/Extensions/ViewCorners.h"
#include "app/Extensions/ViewTapAction.h"
#include "app/MainController/Detail/View/ZV_SourceContentListView.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

ZV_SourceContentView::ZV_SourceContentView(const CGRect& frame)
    : UIView(frame)
    , m_title(UIView::create<QMUILabel>())
    , m_closeBtn(UIView::create<QMUIButton>())
    , m_stackView(UIView::create<UIStackView>())
{ }

std::shared_ptr<ZV_SourceContentView> ZV_SourceContentView::make(const CGRect& frame)
{
    auto view = UIView::create<ZV_SourceContentView>(frame);
    view->setupUI();
    return view;
}

void ZV_SourceContentView::setupUI()
{
    setBackgroundColor(zvadaptive::surfaceColor(UIColor::white()));
    makeCornerByRoundingCorners(*this, 1 | 2, 24);
    m_title->setText("切换资源");
    m_title->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_title->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    m_closeBtn->setImage(zvadaptive::iconImage(UIImage::named("Close")));
    m_closeBtn->setAccessibilityIdentifier("source.close");
    m_stackView->setAxis(UILayoutConstraintAxis::vertical);
    m_stackView->setDistribution(UIStackViewDistribution::equalSpacing);
    m_stackView->setSpacing(8);
    addSubview(m_title);
    addSubview(m_closeBtn);
    addSubview(m_stackView);
    snp(m_title).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(24);
        make.centerX().equalToSuperview();
    });
    snp(m_closeBtn).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.centerY().equalTo(snp(m_title).centerY());
    });
    snp(m_stackView).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_title).bottom()).offset(40);
        make.left().right().equalToSuperview().inset(24);
    });
}

std::vector<std::shared_ptr<ZV_SourceContentListView>> ZV_SourceContentView::rows() const
{
    std::vector<std::shared_ptr<ZV_SourceContentListView>> rows;
    for (const auto& view : m_stackView->arrangedSubviews()) {
        if (auto row = std::dynamic_pointer_cast<ZV_SourceContentListView>(view))
            rows.push_back(row);
    }
    return rows;
}

void ZV_SourceContentView::reloadRows()
{
    std::weak_ptr<UIView> weak = weakFromThis();
    for (const auto& source : list) {
        if (!source)
            continue;
        auto row = ZV_SourceContentListView::make();
        row->name()->setText(source->name.value_or(""));
        row->tips()->setText(source->tips.value_or(""));
        row->count()->setText(source->total.value_or("") + "个视频");
        bool inUse = source->list && !source->list->empty();
        if (inUse) {
            // The accent row stays bright in the dark style, so its texts stay dark on it.
            row->setBackgroundColor(colorWithHex("03FFE1"));
            for (const auto& label : { row->name(), row->tips(), row->count() })
                label->setTextColor(colorWithHex("1D1942"));
        }
        std::string code = source->code.value_or("");
        addTapAction(*row, [weak, code](UITapGestureRecognizer&) {
            auto self = std::static_pointer_cast<ZV_SourceContentView>(weak.lock());
            if (self && self->clickSource)
                self->clickSource(code);
        });
        m_stackView->addArrangedSubview(row);
        snp(row).makeConstraints([](ConstraintMaker& make) { make.height().equalTo(rowHeight); });
    }
}
