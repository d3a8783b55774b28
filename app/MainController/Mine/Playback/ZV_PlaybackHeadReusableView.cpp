#include "app/MainController/Mine/Playback/ZV_PlaybackHeadReusableView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/layout/ConstraintMaker.h"

ZV_PlaybackHeadReusableView::ZV_PlaybackHeadReusableView()
    : ZV_PlaybackHeadReusableView(CGRect {})
{ }

ZV_PlaybackHeadReusableView::ZV_PlaybackHeadReusableView(const CGRect& frame)
    : BaseCollectionReusableView(frame)
    , m_title(UIView::create<UILabel>())
{
    m_title->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_title->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
}

void ZV_PlaybackHeadReusableView::attachTitle()
{
    if (m_title->superview() || weak_from_this().expired())
        return;
    addSubview(m_title);
    // 24 in from the right as from the left, so a long title stays inside the header.
    snp(m_title).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(24);
        make.top().bottom().equalToSuperview();
    });
}

void ZV_PlaybackHeadReusableView::didMoveToSuperview()
{
    BaseCollectionReusableView::didMoveToSuperview();
    attachTitle();
}

void ZV_PlaybackHeadReusableView::layoutSubviews()
{
    attachTitle();
    BaseCollectionReusableView::layoutSubviews();
}
