#include "app/MainController/Detail/View/ZV_SelectEpisodeContentFullView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Detail/View/ZV_EpisodeListCell.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/effects/UIVisualEffectView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <charconv>
#include <cmath>

namespace {

constexpr CGFloat panelWidth = 340;

int parseNumber(std::string_view text)
{
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}

std::shared_ptr<ZV_SelectEpisodeContentFullView> ZV_SelectEpisodeContentFullView::make(const CGRect& frame)
{
    auto view = std::make_shared<ZV_SelectEpisodeContentFullView>(frame);
    view->setupUI();
    return view;
}

ZV_SelectEpisodeContentFullView::ZV_SelectEpisodeContentFullView(const CGRect& frame)
    : UIView(frame)
{ }

void ZV_SelectEpisodeContentFullView::setupUI()
{
    roundCornersKeepingBackdrop(*this, 1 | 4, 16);
    std::weak_ptr<UIView> weak = weakFromThis();
    auto on = [weak](void (ZV_SelectEpisodeContentFullView::*action)()) {
        return [weak, action](UIControl&) {
            if (auto self = std::static_pointer_cast<ZV_SelectEpisodeContentFullView>(weak.lock()))
                ((*self).*action)();
        };
    };

    m_blurView = std::make_shared<UIVisualEffectView>(UIBlurEffect::qmui_effectWithBlurRadius(20));
    m_blurView->qmui_setForegroundColor(UIColor::black().withAlphaComponent(0.2));

    m_backBtn = std::make_shared<QMUIButton>();
    m_backBtn->setImage(UIImage::named("playerback"));
    m_backBtn->setHidden(true);
    m_backBtn->addAction(UIControlEventTouchUpInside, on(&ZV_SelectEpisodeContentFullView::zv_clickBack));
    m_title = std::make_shared<QMUILabel>();
    m_title->setText("选集");
    m_title->setTextColor(UIColor::white());
    m_title->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    m_episodeCount = std::make_shared<QMUILabel>();
    m_episodeCount->setFont(UIFont::systemFont(12));
    m_episodeCount->setTextColor(UIColor::white().withAlphaComponent(0.4));
    m_stackView = std::make_shared<UIStackView>();
    m_stackView->setAxis(UILayoutConstraintAxis::horizontal);
    m_stackView->setSpacing(12);
    m_stackView->setDistribution(UIStackViewDistribution::equalSpacing);
    m_stackView->setAlignment(UIStackViewAlignment::center);

    m_episodeSelectBtn = std::make_shared<QMUIButton>();
    m_episodeSelectBtn->setTitleColor(UIColor::white());
    m_episodeSelectBtn->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    if (std::optional<UIImage> down = UIImage::named("Down"))
        m_episodeSelectBtn->setImage(down->withTintColor(UIColor::white().withAlphaComponent(0.2)));
    m_episodeSelectBtn->setImagePosition(QMUIButtonImagePosition::right);
    m_episodeSelectBtn->setSpacingBetweenImageAndTitle(4);
    m_episodeSelectBtn->setHidden(true);
    m_episodeSelectBtn->addAction(
        UIControlEventTouchUpInside, on(&ZV_SelectEpisodeContentFullView::zv_clickFilter));

    auto layout = std::make_shared<UICollectionViewFlowLayout>();
    layout->setMinimumLineSpacing(8);
    layout->setMinimumInteritemSpacing(8);
    layout->setSectionInset({ 0, 16, 16, 16 });
    m_collectionView = std::make_shared<UICollectionView>(CGRect {}, layout);
    m_collectionView->setBackgroundColor(UIColor::clear());
    registerCell<ZV_EpisodeListCell>(*m_collectionView);
    auto self = std::static_pointer_cast<ZV_SelectEpisodeContentFullView>(sharedFromThis());
    m_collectionView->setDataSource(std::weak_ptr<UICollectionViewDataSource>(self));
    m_collectionView->setDelegate(std::weak_ptr<UICollectionViewDelegate>(self));

    addSubview(m_blurView);
    addSubview(m_stackView);
    for (const auto& part :
        std::initializer_list<std::shared_ptr<UIView>> { m_backBtn, m_title, m_episodeCount })
        m_stackView->addArrangedSubview(part);
    addSubview(m_episodeSelectBtn);
    addSubview(m_collectionView);

    snp(m_blurView).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    snp(m_stackView).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(24);
        make.left().equalToSuperview().offset(32);
    });
    snp(m_episodeSelectBtn).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(24);
        make.right().equalToSuperview().offset(-32);
    });
    snp(m_collectionView).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(m_title).bottom()).offset(18);
        make.left().right().bottom().equalToSuperview();
    });
}

ZV_SelectEpisodeContentFullView::Episodes ZV_SelectEpisodeContentFullView::sourceEpisodes() const
{
    if (model && model->playFrom) {
        for (const auto& source : *model->playFrom) {
            if (source && source->list && !source->list->empty())
                return *source->list;
        }
        return {};
    }
    // The offline entry has no title: its ranges page the list it was given.
    return m_fullList;
}

void ZV_SelectEpisodeContentFullView::reloadCurrentSource()
{
    if (!model || !model->playFrom)
        return;
    Episodes episodes = sourceEpisodes();
    if (episodes.empty())
        return;
    reloadData(std::move(episodes));
    std::weak_ptr<UIView> weak = weakFromThis();
    DispatchQueue::main().async([weak] {
        if (auto self = std::static_pointer_cast<ZV_SelectEpisodeContentFullView>(weak.lock()))
            self->scrollToCurrentEpisode();
    });
}

void ZV_SelectEpisodeContentFullView::scrollToCurrentEpisode()
{
    if (list.empty())
        return;
    int item = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] && list[i]->episodeId == episodeId) {
            item = static_cast<int>(i);
            break;
        }
    }
    m_collectionView->scrollToItem(
        IndexPath::forItem(item, 0), UICollectionViewScrollPositionCenteredVertically, false);
}

void ZV_SelectEpisodeContentFullView::reloadData(Episodes episodes)
{
    m_fullList = std::move(episodes);
    const Episodes& all = m_fullList;
    int count = static_cast<int>(all.size());
    m_episodeCount->setText("共 " + std::to_string(count) + " 集");

    UIFont chipFont = UIFont::systemFont(16, UIFont::Weight::medium);
    for (const auto& episode : all) {
        if (!episode || !episode->episodeName || episode->episodeName->empty())
            continue;
        if (std::trunc(TextLayout::measure(*episode->episodeName, chipFont).width) > twoColumnNameWidth)
            isOneRow = true;
    }

    if (count > rangeSize) {
        filterList.clear();
        row = count / rangeSize;
        remainder = count % rangeSize;
        m_episodeSelectBtn->setHidden(false);
        for (int i = 0; i < row; ++i)
            filterList.push_back(
                std::to_string(i * rangeSize + 1) + "-" + std::to_string((i + 1) * rangeSize));
        if (remainder > 0)
            filterList.push_back(
                std::to_string(row * rangeSize + 1) + "-" + std::to_string(row * rangeSize + remainder));
        if (filterIndex < 0 || filterIndex >= static_cast<int>(filterList.size()))
            filterIndex = 0;
        const std::string& label = filterList[static_cast<std::size_t>(filterIndex)];
        std::size_t dash = label.find('-');
        int first = parseNumber(std::string_view(label).substr(0, dash));
        int last = parseNumber(std::string_view(label).substr(label.rfind('-') + 1));
        list.assign(all.begin() + (first - 1), all.begin() + std::min(last, count));
        m_episodeSelectBtn->setTitle(label + " 集");
    } else {
        list = all;
        m_episodeSelectBtn->setHidden(true);
    }
    m_collectionView->reloadData();
    m_collectionView->setContentOffset({ 0, 0 });
}

void ZV_SelectEpisodeContentFullView::showFilter()
{
    isFilter = true;
    m_backBtn->setHidden(false);
    m_collectionView->reloadData();
    m_episodeSelectBtn->setHidden(true);
    if (filterIndex < static_cast<int>(filterList.size()))
        m_collectionView->scrollToItem(
            IndexPath::forItem(filterIndex, 0), UICollectionViewScrollPositionCenteredVertically, false);
}

void ZV_SelectEpisodeContentFullView::hideFilter()
{
    isFilter = false;
    m_backBtn->setHidden(true);
    m_collectionView->reloadData();
    m_episodeSelectBtn->setHidden(false);
    m_collectionView->setContentOffset({ 0, 0 });
}

int ZV_SelectEpisodeContentFullView::numberOfItems(UICollectionView&, int)
{
    return static_cast<int>(isFilter ? filterList.size() : list.size());
}

std::optional<CGSize> ZV_SelectEpisodeContentFullView::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath&)
{
    return isOneRow || isFilter ? CGSize { 308, 44 } : CGSize { 150, 44 };
}

std::shared_ptr<UICollectionViewCell> ZV_SelectEpisodeContentFullView::cellForItem(
    UICollectionView& collection, const IndexPath& indexPath)
{
    auto cell = dequeueCell<ZV_EpisodeListCell>(collection, indexPath);
    auto index = static_cast<std::size_t>(indexPath.item);
    std::string text;
    bool current = false;
    if (isFilter) {
        if (index < filterList.size()) {
            text = filterList[index];
            current = indexPath.item == filterIndex;
        }
    } else if (index < list.size() && list[index]) {
        text = list[index]->episodeName.value_or("");
        current = list[index]->episodeId == episodeId;
    }
    cell->name()->setText(text);
    cell->name()->setTextColor(current ? colorWithHex("#1D1942") : UIColor::white());
    cell->contentView()->setBackgroundColor(
        current ? colorWithHex("03FFE1") : UIColor::white().withAlphaComponent(0.2));
    animation.right_left(cell, static_cast<float>(panelWidth), 0.2f);
    return cell;
}

void ZV_SelectEpisodeContentFullView::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    auto index = static_cast<std::size_t>(indexPath.item);
    if (!isFilter) {
        if (index < list.size() && list[index] && clickIndexWithEpisodeId)
            clickIndexWithEpisodeId(list[index]->episodeId.value_or(""));
        return;
    }
    if (index >= filterList.size())
        return;
    filterIndex = indexPath.item;
    reloadData(sourceEpisodes());
    isFilter = false;
    m_backBtn->setHidden(true);
    m_episodeSelectBtn->setHidden(false);
}
