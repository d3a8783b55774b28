#include "app/MainController/Detail/Cell/ZV_PlayerSelectCell.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/StringExtension.h"
#include "app/Extensions/ViewCorners.h"
#include "app/MainController/Detail/Cell/ZV_EpisodeViewCell.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UICollectionViewFlowLayout.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUILabel.h"

#include <cmath>

ZV_PlayerSelectCell::ZV_PlayerSelectCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : BaseTableViewCell(style, std::move(reuseIdentifier))
{
    setSelectionStyle(UITableViewCellSelectionStyle::none);
    setupUI();
}

ZV_PlayerSelectCell::~ZV_PlayerSelectCell() = default;

const std::shared_ptr<QMUILabel>& ZV_PlayerSelectCell::zv_title()
{
    if (!m_title) {
        m_title = UIView::create<QMUILabel>();
        m_title->setText("选集");
        m_title->setTextColor(colorWithHex("1D1942"));
        m_title->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    }
    return m_title;
}

const std::shared_ptr<QMUIButton>& ZV_PlayerSelectCell::zv_moreBtn()
{
    if (!m_moreBtn) {
        m_moreBtn = UIView::create<QMUIButton>();
        m_moreBtn->setTitle(std::string("更多"), UIControlStateNormal);
        m_moreBtn->setTitleColor(colorWithHex("1D1942"), UIControlStateNormal);
        m_moreBtn->setFont(UIFont::systemFont(14));
        m_moreBtn->setImage(UIImage::named("Right"), UIControlStateNormal);
        m_moreBtn->setImagePosition(QMUIButtonImagePosition::right);
        m_moreBtn->setSpacingBetweenImageAndTitle(0);
        m_moreBtn->setAccessibilityIdentifier("episodes.more");
        m_moreBtn->addAction(UIControlEventTouchUpInside, [this](UIControl&) {
            // Copied: the action may replace itself.
            if (std::function<void()> action = clickMore)
                action();
        });
    }
    return m_moreBtn;
}

const std::shared_ptr<UIView>& ZV_PlayerSelectCell::zv_selectSourceView()
{
    if (!m_selectSourceView) {
        m_selectSourceView = UIView::create();
        m_selectSourceView->setBackgroundColor(colorWithHex("#FFF7E3"));
        makeCorner(*m_selectSourceView, 8);
        m_selectSourceView->layer()->setBorderWidth(1);
        m_selectSourceView->layer()->setBorderColor(colorWithHex("#74410514", 1));
    }
    return m_selectSourceView;
}

const std::shared_ptr<QMUILabel>& ZV_PlayerSelectCell::zv_sourceName()
{
    if (!m_sourceName) {
        m_sourceName = UIView::create<QMUILabel>();
        m_sourceName->setTextColor(colorWithHex("#744105"));
        m_sourceName->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
    }
    return m_sourceName;
}

const std::shared_ptr<QMUILabel>& ZV_PlayerSelectCell::zv_sourceCount()
{
    if (!m_sourceCount) {
        m_sourceCount = UIView::create<QMUILabel>();
        m_sourceCount->setTextColor(colorWithHex("#FF4D00"));
        m_sourceCount->setFont(UIFont::systemFont(12));
    }
    return m_sourceCount;
}

const std::shared_ptr<QMUIButton>& ZV_PlayerSelectCell::zv_sourceChangeBtn()
{
    if (!m_sourceChangeBtn) {
        m_sourceChangeBtn = UIView::create<QMUIButton>();
        m_sourceChangeBtn->setTitle(std::string("切换资源"), UIControlStateNormal);
        m_sourceChangeBtn->setTitleColor(colorWithHex("#744105"), UIControlStateNormal);
        m_sourceChangeBtn->setFont(UIFont::systemFont(14, UIFont::Weight::medium));
        m_sourceChangeBtn->setImage(UIImage::named("source"), UIControlStateNormal);
        m_sourceChangeBtn->setSpacingBetweenImageAndTitle(6);
        m_sourceChangeBtn->addAction(UIControlEventTouchUpInside, [this](UIControl&) {
            if (std::function<void()> action = clickSourceChange)
                action();
        });
    }
    return m_sourceChangeBtn;
}

const std::shared_ptr<UICollectionView>& ZV_PlayerSelectCell::zv_collectionView()
{
    if (!m_collectionView) {
        auto layout = std::make_shared<UICollectionViewFlowLayout>();
        layout->setScrollDirection(UICollectionViewScrollDirection::horizontal);
        layout->setMinimumInteritemSpacing(8);
        layout->setSectionInset({ 0, 0, 0, 24 });
        m_collectionView = std::make_shared<UICollectionView>(CGRect {}, layout);
        m_collectionView->setBackgroundColor(UIColor::white());
        m_collectionView->setShowsHorizontalScrollIndicator(false);
        m_collectionView->setShowsVerticalScrollIndicator(false);
        registerCell<ZV_EpisodeViewCell>(*m_collectionView);
        m_collectionView->setAccessibilityIdentifier("episodes.strip");
    }
    attachStrip();
    return m_collectionView;
}

void ZV_PlayerSelectCell::attachStrip()
{
    if (m_stripAttached || !m_collectionView)
        return;
    std::shared_ptr<UIResponder> self = weak_from_this().lock();
    if (!self)
        return; // still being made: the first use after that attaches
    auto row = std::static_pointer_cast<ZV_PlayerSelectCell>(self);
    m_collectionView->setDataSource(std::weak_ptr<UICollectionViewDataSource>(row));
    m_collectionView->setDelegate(std::weak_ptr<UICollectionViewDelegate>(row));
    m_stripAttached = true;
}

const std::shared_ptr<UIView>& ZV_PlayerSelectCell::zv_line()
{
    if (!m_line) {
        m_line = UIView::create();
        m_line->layer()->setBorderColor(colorWithHex("1D1942", 0.1));
        m_line->layer()->setBorderWidth(0.5);
    }
    return m_line;
}

void ZV_PlayerSelectCell::setupUI()
{
    const std::shared_ptr<UIView>& content = contentView();
    content->addSubview(zv_title());
    content->addSubview(zv_moreBtn());
    content->addSubview(zv_collectionView());
    content->addSubview(zv_selectSourceView());
    content->addSubview(zv_line());
    zv_selectSourceView()->addSubview(zv_sourceName());
    zv_selectSourceView()->addSubview(zv_sourceCount());
    zv_selectSourceView()->addSubview(zv_sourceChangeBtn());

    snp(m_title).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(25);
        make.left().equalToSuperview().offset(24);
    });
    snp(m_moreBtn).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-21);
        make.centerY().equalTo(m_title);
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
}

void ZV_PlayerSelectCell::layoutSubviews()
{
    BaseTableViewCell::layoutSubviews();
    contentView()->layoutIfNeeded();
    // The strip may have laid out its chips before the constraints gave it its width (a reload
    // before the row was placed): once it has a new size, it lays them out again.
    CGSize size = zv_collectionView()->bounds().size;
    if (size.width != m_stripSize.width || size.height != m_stripSize.height) {
        m_stripSize = size;
        zv_collectionView()->setNeedsLayout();
        zv_collectionView()->layoutIfNeeded();
    }
}

void ZV_PlayerSelectCell::setOffline(bool offline)
{
    m_isOffline = offline;
    zv_selectSourceView()->setHidden(true);
    if (m_sourceHeight)
        m_sourceHeight->updateOffset(0);
}

void ZV_PlayerSelectCell::setModel(std::shared_ptr<ZV_DetailModel> model)
{
    m_model = std::move(model);
    if (!m_model || !m_model->playFrom)
        return;
    for (const auto& source : *m_model->playFrom) {
        if (!source || !source->list || source->list->empty())
            continue;
        modelList = *source->list;
        reloadEpisodes();
        zv_sourceName()->setText(source->name.value_or(""));
        zv_sourceCount()->setText(source->total.value_or("") + "个视频");
        zv_moreBtn()->setTitle(std::string("展开全部"), UIControlStateNormal);
        return;
    }
}

void ZV_PlayerSelectCell::reloadEpisodes()
{
    std::weak_ptr<UIResponder> weak = weak_from_this();
    DispatchQueue::main().async([weak] {
        if (auto self = std::static_pointer_cast<ZV_PlayerSelectCell>(weak.lock()))
            self->scrollToCurrentEpisode();
    });
}

void ZV_PlayerSelectCell::scrollToCurrentEpisode()
{
    int item = 0;
    for (std::size_t i = 0; i < modelList.size(); ++i) {
        if (modelList[i] && modelList[i]->episodeId == episodeId) {
            item = static_cast<int>(i);
            break;
        }
    }
    zv_collectionView()->reloadData();
    // An empty strip has nothing to scroll to.
    if (modelList.empty())
        return;
    zv_collectionView()->scrollToItem(
        IndexPath::forItem(item, 0), UICollectionViewScrollPositionCenteredHorizontally, true);
}

CGSize ZV_PlayerSelectCell::chipSize(const Episodes& list, int item)
{
    if (item < 0 || item >= static_cast<int>(list.size()))
        return { 58, chipHeight };
    const auto& entry = list[static_cast<std::size_t>(item)];
    if (!entry || !entry->episodeName || entry->episodeName->empty())
        return { chipPadding, chipHeight };
    // Measured on one line, as wide as it needs.
    CGFloat width
        = StringExtension::textWidth(*entry->episodeName, UIFont::boldSystemFont(14), unlimitedWidth);
    return { std::ceil(width) + chipPadding, chipHeight };
}

std::optional<CGSize> ZV_PlayerSelectCell::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath& indexPath)
{
    return chipSize(modelList, indexPath.item);
}

std::shared_ptr<UICollectionViewCell> ZV_PlayerSelectCell::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    auto chip = dequeueCell<ZV_EpisodeViewCell>(view, indexPath);
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(modelList.size()))
        return chip;
    const auto& entry = modelList[static_cast<std::size_t>(indexPath.item)];
    chip->zv_name()->setText(entry ? entry->episodeName.value_or("") : std::string());
    bool current = entry && entry->episodeId == episodeId;
    chip->setBackgroundColor(colorWithHex(current ? "03FFE1" : "F3F5F9"));
    return chip;
}

void ZV_PlayerSelectCell::didSelectItem(UICollectionView& view, const IndexPath& indexPath)
{
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(modelList.size()))
        return;
    const auto& entry = modelList[static_cast<std::size_t>(indexPath.item)];
    episodeId = entry ? entry->episodeId.value_or("") : std::string();
    if (clickIndexWithEpisodeId)
        clickIndexWithEpisodeId(episodeId);
    view.scrollToItem(indexPath, UICollectionViewScrollPositionCenteredHorizontally, true);
    view.reloadData();
}
