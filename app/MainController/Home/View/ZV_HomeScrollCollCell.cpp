#include "app/MainController/Home/View/ZV_HomeScrollCollCell.h"

#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Home/View/ZV_HomeScrollSubCell.h"
#include "app/MainController/Other/Tool/ZV_Tools.h"
#include "platform/ui/layout/ConstraintMaker.h"

#include <algorithm>

ZV_HomeScrollCollCell::ZV_HomeScrollCollCell()
    : ZV_HomeScrollCollCell(CGRect {})
{ }

ZV_HomeScrollCollCell::ZV_HomeScrollCollCell(const CGRect& frame)
    : BaseCollectionViewCell(frame)
    , m_bannerView(std::make_shared<JXBanner>())
{
    contentView()->addSubview(m_bannerView);
    snp(m_bannerView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
}

void ZV_HomeScrollCollCell::connect()
{
    // The banner holds its data source weakly: the cell can hand itself over only once it is owned.
    if (m_connected)
        return;
    m_connected = true;
    auto self = std::static_pointer_cast<ZV_HomeScrollCollCell>(sharedFromThis());
    m_bannerView->setDataSource(self);
    m_bannerView->setDelegate(self);
}

void ZV_HomeScrollCollCell::setList(std::vector<std::shared_ptr<ZV_HomeRecommendModelDataList>> list)
{
    m_list = std::move(list);
    connect();
}

CGFloat ZV_HomeScrollCollCell::stripOffset() const
{
    return m_bannerView->collectionView()->contentOffset().x;
}

void ZV_HomeScrollCollCell::setStripOffset(CGFloat offset)
{
    // A new cell has no size before its first layout, and a strip without one has no end.
    layoutIfNeeded();
    const auto& strip = m_bannerView->collectionView();
    CGFloat x = std::clamp(offset, strip->minimumContentOffset().x, strip->maximumContentOffset().x);
    strip->setContentOffset({ x, strip->contentOffset().y }, false);
}

void ZV_HomeScrollCollCell::prepareForReuse()
{
    BaseCollectionViewCell::prepareForReuse();
    const auto& strip = m_bannerView->collectionView();
    strip->setContentOffset({ strip->minimumContentOffset().x, strip->contentOffset().y }, false);
}

JXBannerCellRegister ZV_HomeScrollCollCell::registerCell(JXBanner&)
{
    return JXBannerCellRegister::make<ZV_HomeScrollSubCell>("ZV_HomeScrollSubCell");
}

int ZV_HomeScrollCollCell::numberOfItems(JXBanner&)
{
    return static_cast<int>(m_list.size());
}

std::shared_ptr<UICollectionViewCell> ZV_HomeScrollCollCell::cellForItemAt(
    JXBanner&, int index, std::shared_ptr<UICollectionViewCell> cell)
{
    auto item = std::dynamic_pointer_cast<ZV_HomeScrollSubCell>(cell);
    if (item && index >= 0 && index < static_cast<int>(m_list.size()))
        item->setModel(m_list[index]);
    return cell;
}

JXBannerParams ZV_HomeScrollCollCell::params(JXBanner&, JXBannerParams params)
{
    params.isAutoPlay = false;
    params.isShowPageControl = false;
    params.isPagingEnabled = false;
    params.cycleWay = JXBannerCycleWay::rollingBack;
    params.contentInset = {};
    return params;
}

JXBannerLayoutParams ZV_HomeScrollCollCell::layoutParams(JXBanner&, JXBannerLayoutParams params)
{
    params.itemSize = { 164, 120 };
    params.itemSpacing = 16;
    return params;
}

void ZV_HomeScrollCollCell::didSelectItemAt(JXBanner&, int index)
{
    if (index < 0 || index >= static_cast<int>(m_list.size()))
        return;
    auto detail = std::make_shared<ZV_DetailVC>();
    detail->vod_id = m_list[index]->movie_id;
    if (auto top = ZV_Tools::getCurrentVC())
        top->show(detail);
}
