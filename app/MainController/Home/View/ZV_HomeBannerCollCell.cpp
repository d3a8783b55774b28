#include "app/MainController/Home/View/ZV_HomeBannerCollCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Home/View/ZV_HomeBannerSubCell.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIHelper.h"

#include <algorithm>
#include <cmath>

namespace {

const std::string subCellIdentifier = "ZV_HomeBannerSubCell";

}

ZV_HomeBannerCollCell::ZV_HomeBannerCollCell()
    : ZV_HomeBannerCollCell(CGRect {})
{ }

ZV_HomeBannerCollCell::ZV_HomeBannerCollCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_bannerView(std::make_shared<FSPagerView>())
    , m_sliderContentView(std::make_shared<UIView>())
    , m_bgSliderView(std::make_shared<UIView>())
    , m_blockSliderView(std::make_shared<UIView>())
    , m_blockSliderPlaceholderView(std::make_shared<UIView>())
{
    m_bannerView->registerClass<ZV_HomeBannerSubCell>(subCellIdentifier);
    m_bannerView->setBackgroundColor(UIColor::clear());
    m_bannerView->transformer = std::make_shared<FSPagerViewTransformer>(FSPagerViewTransformerType::overlap);
    m_bannerView->isInfinite = true;
    m_bannerView->automaticSlidingInterval = slidingInterval;
    if (QMUIHelper::isIPad()) {
        CGFloat width = (screenWidth() - 48) * 0.5;
        m_bannerView->itemSize = { width, width * 190 / 342 };
    }

    m_sliderContentView->setClipsToBounds(true);
    // Navy on the light page; on the dark one a faint white track under a white block.
    m_bgSliderView->setBackgroundColor(
        UIColor::dynamic(UIColor(13 / 255.0, 7 / 255.0, 71 / 255.0, 0.1), UIColor::white(1, 0.15)));
    setCornerRadius(*m_bgSliderView, 2);
    UIColor block = UIColor::dynamic(UIColor(29 / 255.0, 25 / 255.0, 66 / 255.0, 1), UIColor::white(1, 0.85));
    m_blockSliderView->setBackgroundColor(block);
    setCornerRadius(*m_blockSliderView, 2);
    m_blockSliderPlaceholderView->setBackgroundColor(block);
    setCornerRadius(*m_blockSliderPlaceholderView, 2);
    m_blockSliderPlaceholderView->setHidden(true);

    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(m_bannerView);
    content->addSubview(m_sliderContentView);
    m_sliderContentView->addSubview(m_bgSliderView);
    m_sliderContentView->addSubview(m_blockSliderView);
    content->addSubview(m_blockSliderPlaceholderView);

    snp(m_bannerView).makeConstraints([](ConstraintMaker& make) {
        make.top().left().right().equalToSuperview();
    });
    snp(m_sliderContentView).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_bannerView).bottom()).offset(20);
        make.centerX().equalToSuperview();
        make.bottom().equalToSuperview();
        m_sliderWidthConstraint = make.width().equalTo(m_sliderContentViewWidth).constraint();
        make.height().equalTo(4);
    });
    snp(m_bgSliderView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_blockSliderView).makeConstraints([this](ConstraintMaker& make) {
        make.top().bottom().equalToSuperview();
        make.width().equalTo(blockSliderViewWidth);
        m_blockLeftConstraint = make.left().equalToSuperview().offset(0).constraint();
    });
    snp(m_blockSliderPlaceholderView).makeConstraints([this](ConstraintMaker& make) {
        make.top().bottom().equalTo(m_sliderContentView);
        make.width().equalTo(blockSliderViewWidth);
        make.right().equalTo(snp(m_sliderContentView).left());
    });
}

void ZV_HomeBannerCollCell::connect()
{
    // The pager holds its data source weakly: the cell can hand itself over only once it is owned.
    if (m_connected)
        return;
    m_connected = true;
    auto self = std::static_pointer_cast<ZV_HomeBannerCollCell>(sharedFromThis());
    m_bannerView->setDataSource(self);
    m_bannerView->setDelegate(self);
}

CGFloat ZV_HomeBannerCollCell::sliderWidth(int count, CGFloat screenWidth)
{
    return std::min(blockSliderViewWidth * std::max(count, 0), screenWidth - 48);
}

CGFloat ZV_HomeBannerCollCell::blockOffset(CGFloat trackWidth, int count, CGFloat scrollOffset)
{
    if (count < 2)
        return 0;
    CGFloat step = (trackWidth - blockSliderViewWidth) / (count - 1);
    return step * scrollOffset;
}

void ZV_HomeBannerCollCell::setList(std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> list)
{
    m_list = std::move(list);
    connect();
    m_sliderContentViewWidth = sliderWidth(static_cast<int>(m_list.size()), screenWidth());
    m_sliderWidthConstraint->updateOffset(m_sliderContentViewWidth);
    m_bannerView->reloadData();
    // A reload keeps the pager's page without a scroll event: the block follows it here.
    m_blockOffset = blockOffset(
        m_sliderContentViewWidth, static_cast<int>(m_list.size()), m_bannerView->scrollOffset());
    m_blockLeftConstraint->updateOffset(m_blockOffset);
}

int ZV_HomeBannerCollCell::numberOfItemsInPagerView(FSPagerView&)
{
    return static_cast<int>(m_list.size());
}

std::shared_ptr<FSPagerViewCell> ZV_HomeBannerCollCell::cellForItemAtIndex(FSPagerView& pager, int index)
{
    auto cell = pager.dequeueReusableCell<ZV_HomeBannerSubCell>(subCellIdentifier, index);
    if (cell && index >= 0 && index < static_cast<int>(m_list.size()))
        cell->setModel(m_list[index]);
    return cell;
}

void ZV_HomeBannerCollCell::didSelectItemAtIndex(FSPagerView&, int index)
{
    if (!zv_homeRecommendModelDataListBlock || index < 0 || index >= static_cast<int>(m_list.size()))
        return;
    zv_homeRecommendModelDataListBlock(m_list[index]);
}

void ZV_HomeBannerCollCell::pagerViewDidScroll(FSPagerView& pager)
{
    m_blockOffset
        = blockOffset(m_sliderContentViewWidth, static_cast<int>(m_list.size()), pager.scrollOffset());
    m_blockLeftConstraint->updateOffset(m_blockOffset);
    m_blockSliderPlaceholderView->setHidden(true);
}

void ZV_HomeBannerCollCell::pagerViewDidEndScrollAnimation(FSPagerView& pager)
{
    int count = static_cast<int>(m_list.size());
    if (count == 0)
        return;
    CGFloat offset = pager.scrollOffset();
    if (offset == static_cast<CGFloat>(pager.currentIndex()))
        return;
    long long nearest = std::llround(offset);
    int index = static_cast<int>(((nearest % count) + count) % count);
    pager.scrollToItem(index, true);
}
