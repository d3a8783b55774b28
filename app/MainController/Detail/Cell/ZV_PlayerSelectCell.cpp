#include "app/MainController/Detail/Cell/ZV_PlayerSelectCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Extensions/CellRegistration.h"
#include "app/MainController/Detail/Cell/ZV_EpisodeViewCell.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/ui/CALayer.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <cmath>

namespace {

// The source box keeps its warm tone in the dark style, as a dark amber face with light lettering.
UIColor sourceInk()
{
    return UIColor::dynamic(colorWithHex("#744105"), colorWithHex("#F5C27A"));
}

std::shared_ptr<QMUILabel> makeLabel(const UIColor& color, UIFont font)
{
    auto label = UIView::create<QMUILabel>();
    label->setTextColor(color);
    label->setFont(std::move(font));
    return label;
}

}

ZV_PlayerSelectCell::ZV_PlayerSelectCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UITableViewCell(style, std::move(reuseIdentifier))
    , m_title(makeLabel(
          zvadaptive::textColor(colorWithHex("1D1942")), UIFont::systemFont(16, UIFont::Weight::medium)))
    , m_moreBtn(UIView::create<QMUIButton>())
    , m_selectSourceView(UIView::create())
    , m_sourceName(makeLabel(sourceInk(), UIFont::systemFont(14, UIFont::Weight::medium)))
    , m_sourceCount(makeLabel(
          UIColor::dynamic(colorWithHex("#FF4D00"), colorWithHex("#FF8A4D")), UIFont::systemFont(12)))
    , m_sourceChangeBtn(UIView::create<QMUIButton>())
    , m_line(UIView::create())
{
    setSelectionStyle(UITableViewCellSelectionStyle::none);
    setupUI();
}

void ZV_PlayerSelectCell::setupUI()
{
    m_title->setText("选集");
    m_moreBtn->setTitle("更多");
    m_moreBtn->setTitleColor(zvadaptive::textColor(colorWithHex("1D1942")));
    m_moreBtn->setFont(UIFont::systemFont(14));
    m_moreBtn->setImage(zvadaptive::iconImage(UIImage::named("Right")));
    m_moreBtn->setImagePosition(QMUIButtonImagePosition::right);
    m_moreBtn->setSpacingBetweenImageAndTitle(0);
    m_moreBtn->setAccessibilityIdentifier("detail.episodes.more");

    m_selectSourceView->setBackgroundColor(
        UIColor::dynamic(colorWithHex("#FFF7E3"), colorWithHex("#2B2213")));
    m_selectSourceView->layer()->setCornerRadius(8);
    m_selectSourceView->setClipsToBounds(true);
    m_selectSourceView->layer()->setBorderWidth(1);
    m_selectSourceView->layer()->setBorderColor(
        UIColor::dynamic(colorWithHex("#74410514", 1), colorWithHex("#F5C27A", 0.3)));
    m_sourceChangeBtn->setTitle("切换资源");
    m_sourceChangeBtn->setTitleColor(sourceInk());
    m_sourceChangeBtn->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    if (std::optional<UIImage> source = UIImage::named("source"))
        m_sourceChangeBtn->setImage(source->withTintColor(sourceInk()));
    m_sourceChangeBtn->setSpacingBetweenImageAndTitle(6);
    m_sourceChangeBtn->setAccessibilityIdentifier("detail.source.change");

    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::horizontal);
    layout->setMinimumInteritemSpacing(8);
    layout->setSectionInset({ 0, 0, 0, 24 });
    m_collectionView = UIView::create<UICollectionView>(CGRect {}, layout);
    m_collectionView->setBackgroundColor(zvadaptive::pageColor(UIColor::white()));
    m_collectionView->setShowsHorizontalScrollIndicator(false);
    m_collectionView->setShowsVerticalScrollIndicator(false);
    m_collectionView->setAccessibilityIdentifier("detail.episodes.strip");
    registerCell<ZV_EpisodeViewCell>(*m_collectionView);

    m_line->layer()->setBorderColor(zvadaptive::lineColor(colorWithHex("1D1942", 0.1)));
    m_line->layer()->setBorderWidth(0.5);

    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(m_title);
    content->addSubview(m_moreBtn);
    content->addSubview(m_collectionView);
    content->addSubview(m_selectSourceView);
    content->addSubview(m_line);
    m_selectSourceView->addSubview(m_sourceName);
    m_selectSourceView->addSubview(m_sourceCount);
    m_selectSourceView->addSubview(m_sourceChangeBtn);

    snp(m_title).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(25);
        make.left().equalToSuperview().offset(24);
    });
    snp(m_moreBtn).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-21);
        make.centerY().equalTo(snp(m_title).centerY());
    });
    snp(m_selectSourceView).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_title).bottom()).offset(17);
        make.left().right().equalToSuperview().inset(24);
        m_sourceHeight = make.height().equalTo(39).constraint();
    });
    snp(m_sourceName).makeConstraints([](ConstraintMaker& make) {
        make.left().equalToSuperview().offset(14);
        make.centerY().equalToSuperview();
    });
    snp(m_sourceCount).makeConstraints([this](ConstraintMaker& make) {
        make.left().equalTo(snp(m_sourceName).right()).offset(8);
        make.centerY().equalToSuperview();
    });
    snp(m_sourceChangeBtn).makeConstraints([](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-16);
        make.centerY().equalToSuperview();
    });
    snp(m_collectionView).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_selectSourceView).bottom()).offset(12);
        make.left().equalToSuperview().offset(24);
        make.right().equalToSuperview();
        make.height().equalTo(chipHeight);
    });
    snp(m_line).makeConstraints([](ConstraintMaker& make) {
        make.left().right().equalToSuperview().inset(24);
        make.bottom().equalToSuperview();
        make.height().equalTo(0.5);
    });

    // The buttons belong to the cell, so their actions never outlive it.
    m_moreBtn->addAction(UIControlEventTouchUpInside, [this](UIControl&) {
        if (std::function<void()> action = clickMore)
            action();
    });
    m_sourceChangeBtn->addAction(UIControlEventTouchUpInside, [this](UIControl&) {
        if (std::function<void()> action = clickSourceChange)
            action();
    });
}

void ZV_PlayerSelectCell::attachStrip()
{
    // The strip asks the cell itself, which is shared only once its owner made it.
    if (m_collectionView->dataSource())
        return;
    auto self = std::static_pointer_cast<ZV_PlayerSelectCell>(sharedFromThis());
    m_collectionView->setDataSource(std::weak_ptr<UICollectionViewDataSource>(self));
    m_collectionView->setDelegate(std::weak_ptr<UICollectionViewDelegate>(self));
}

void ZV_PlayerSelectCell::setModel(std::shared_ptr<ZV_DetailModel> model)
{
    m_model = std::move(model);
    if (!m_model)
        return;
    std::shared_ptr<ZV_DetailDataListPlayFromModel> source = ZV_DetailVC::sourceInUse(*m_model);
    if (!source)
        return;
    modelList = *source->list;
    reloadEpisodes();
    m_sourceName->setText(source->name.value_or(""));
    m_sourceCount->setText(source->total.value_or("") + "个视频");
    m_moreBtn->setTitle("展开全部");
}

void ZV_PlayerSelectCell::setOffline(bool offline)
{
    m_isOffline = offline;
    m_selectSourceView->setHidden(true);
    m_sourceHeight->updateOffset(0);
    setNeedsLayout();
}

void ZV_PlayerSelectCell::reloadEpisodes()
{
    attachStrip();
    std::weak_ptr<UIView> weak = weakFromThis();
    DispatchQueue::main().async([weak] {
        if (auto self = std::static_pointer_cast<ZV_PlayerSelectCell>(weak.lock()))
            self->scrollToCurrentEpisode();
    });
}

void ZV_PlayerSelectCell::scrollToCurrentEpisode()
{
    attachStrip();
    m_collectionView->reloadData();
    // An empty strip has no item to scroll to.
    if (modelList.empty())
        return;
    int item = 0;
    for (std::size_t i = 0; i < modelList.size(); ++i) {
        if (modelList[i] && modelList[i]->episodeId.value_or("") == episodeId) {
            item = static_cast<int>(i);
            break;
        }
    }
    m_collectionView->layoutIfNeeded();
    m_collectionView->scrollToItem(
        IndexPath::forItem(item, 0), UICollectionViewScrollPositionCenteredHorizontally, true);
    // The chips of the new offset are made now, not at some later layout pass.
    m_collectionView->layoutIfNeeded();
}

CGSize ZV_PlayerSelectCell::chipSize(const Episodes& list, int item)
{
    if (item < 0 || item >= static_cast<int>(list.size()) || !list[static_cast<std::size_t>(item)])
        return { 58, chipHeight };
    std::string name = list[static_cast<std::size_t>(item)]->episodeName.value_or("");
    if (name.empty())
        return { 32, chipHeight };
    return { std::ceil(TextLayout::measure(name, UIFont::boldSystemFont(14)).width) + 32, chipHeight };
}

std::optional<CGSize> ZV_PlayerSelectCell::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath& indexPath)
{
    return chipSize(modelList, indexPath.item);
}

std::shared_ptr<UICollectionViewCell> ZV_PlayerSelectCell::cellForItem(
    UICollectionView& collection, const IndexPath& indexPath)
{
    auto cell = dequeueCell<ZV_EpisodeViewCell>(collection, indexPath);
    auto index = static_cast<std::size_t>(indexPath.item);
    if (index < modelList.size() && modelList[index]) {
        const auto& episode = *modelList[index];
        cell->zv_name()->setText(episode.episodeName.value_or(""));
        bool current = episode.episodeId.value_or("") == episodeId;
        // The accent chip stays bright in the dark style, so its name stays dark on it.
        cell->contentView()->setBackgroundColor(
            current ? colorWithHex("03FFE1") : zvadaptive::fillColor(colorWithHex("F3F5F9")));
        cell->zv_name()->setTextColor(
            current ? colorWithHex("1D1942") : zvadaptive::textColor(colorWithHex("1D1942")));
    }
    return cell;
}

void ZV_PlayerSelectCell::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    auto index = static_cast<std::size_t>(indexPath.item);
    if (index >= modelList.size() || !modelList[index])
        return;
    episodeId = modelList[index]->episodeId.value_or("");
    if (std::function<void(const std::string&)> owner = clickIndexWithEpisodeId)
        owner(episodeId);
    m_collectionView->scrollToItem(indexPath, UICollectionViewScrollPositionCenteredHorizontally, true);
    m_collectionView->reloadData();
    m_collectionView->layoutIfNeeded();
}
