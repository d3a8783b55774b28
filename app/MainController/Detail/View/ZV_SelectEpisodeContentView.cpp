#include "app/MainController/Detail/View/ZV_SelectEpisodeContentView.h"

#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/Conrtoller/ZV_DetailVC.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentListView.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/segmented/JXSegmentedIndicatorLineView.h"
#include "platform/ui/segmented/JXSegmentedTitleDataSource.h"

#include <charconv>

namespace {

constexpr CGFloat segmentTop = 54;
constexpr CGFloat segmentHeight = 38;
constexpr CGFloat pagedContainerTop = 107;

// A whole decimal number of the text, none for anything else.
std::optional<std::size_t> decimal(std::string_view text)
{
    std::size_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}

std::shared_ptr<ZV_SelectEpisodeContentView> ZV_SelectEpisodeContentView::make(const CGRect& frame)
{
    auto view = UIView::create<ZV_SelectEpisodeContentView>(frame);
    view->setupUI();
    return view;
}

ZV_SelectEpisodeContentView::ZV_SelectEpisodeContentView(const CGRect& frame)
    : UIView(frame)
{ }

void ZV_SelectEpisodeContentView::setupUI()
{
    setBackgroundColor(zvadaptive::surfaceColor(UIColor::white()));
    setClipsToBounds(true);
    auto self = std::static_pointer_cast<ZV_SelectEpisodeContentView>(sharedFromThis());

    m_sourceName = UIView::create<QMUIButton>();
    UIColor ink = zvadaptive::textColor(colorWithHex("1D1942"));
    m_sourceName->setTitleColor(ink);
    m_sourceName->setFont(UIFont::systemFont(16, UIFont::Weight::medium));
    // The arrow is drawn white; it takes the name's colour so that it shows on the sheet.
    if (std::optional<UIImage> down = UIImage::named("Down"))
        m_sourceName->setImage(down->withTintColor(ink));
    m_sourceName->setImagePosition(QMUIButtonImagePosition::right);
    m_sourceName->setSpacingBetweenImageAndTitle(4);
    m_sourceName->setAccessibilityIdentifier("episodes.source");
    m_closeBtn = UIView::create<QMUIButton>();
    m_closeBtn->setImage(zvadaptive::iconImage(UIImage::named("Close")));
    m_closeBtn->setAccessibilityIdentifier("episodes.close");

    m_dataSource = std::make_shared<JXSegmentedTitleDataSource>();
    m_dataSource->titleNormalColor = ink;
    m_dataSource->titleNormalFont = UIFont::systemFont(14);
    m_dataSource->titleSelectedColor = ink;
    m_dataSource->titleSelectedFont = UIFont::systemFont(14, UIFont::Weight::medium);
    m_dataSource->itemSpacing = 24;
    m_indicator = UIView::create<JXSegmentedIndicatorLineView>();
    m_indicator->indicatorColor = colorWithHex("03FFE1");
    m_indicator->indicatorWidth = 45;
    m_indicator->indicatorHeight = 3;
    m_indicator->indicatorPosition = JXSegmentedIndicatorPosition::bottom;
    m_listContainerView = UIView::create<JXSegmentedListContainerView>(
        std::weak_ptr<JXSegmentedListContainerViewDataSource>(self),
        JXSegmentedListContainerType::scrollView);
    m_segmentedView = UIView::create<JXSegmentedView>();
    m_segmentedView->setDelegate(std::weak_ptr<JXSegmentedViewDelegate>(self));
    m_segmentedView->setDataSource(m_dataSource);
    m_segmentedView->setIndicators({ m_indicator });
    m_segmentedView->setListContainer(m_listContainerView);

    addSubview(m_sourceName);
    addSubview(m_closeBtn);
    addSubview(m_segmentedView);
    addSubview(m_listContainerView);
    snp(m_sourceName).makeConstraints([](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(15);
        make.centerX().equalToSuperview();
    });
    snp(m_closeBtn).makeConstraints([this](ConstraintMaker& make) {
        make.right().equalToSuperview().offset(-24);
        make.centerY().equalTo(snp(m_sourceName).centerY());
    });
    snp(m_segmentedView).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalToSuperview().offset(segmentTop);
        make.left().equalToSuperview();
        make.width().equalTo(screenWidth());
        m_segmentHeight = make.height().equalTo(segmentHeight).constraint();
    });
    snp(m_listContainerView).makeConstraints([this](ConstraintMaker& make) {
        m_containerTop = make.top().equalToSuperview().offset(segmentTop).constraint();
        make.left().bottom().equalToSuperview();
        make.width().equalTo(screenWidth());
    });
}

void ZV_SelectEpisodeContentView::setModel(std::shared_ptr<ZV_DetailModel> model)
{
    m_model = std::move(model);
    if (!m_model)
        return;
    std::shared_ptr<ZV_DetailDataListPlayFromModel> source = ZV_DetailVC::sourceInUse(*m_model);
    if (!source)
        return;
    list = *source->list;
    reloadSegments();
    m_sourceName->setTitle(source->name.value_or(""));
}

std::vector<std::string> ZV_SelectEpisodeContentView::ranges(std::size_t count)
{
    if (count <= static_cast<std::size_t>(pageSize))
        return { "" };
    std::vector<std::string> ranges;
    std::size_t pages = count / pageSize;
    std::size_t rest = count % pageSize;
    for (std::size_t i = 0; i < pages; ++i)
        ranges.push_back(std::to_string(i * pageSize + 1) + "-" + std::to_string((i + 1) * pageSize));
    if (rest >= 1)
        ranges.push_back(
            std::to_string(pages * pageSize + 1) + "-" + std::to_string(pages * pageSize + rest));
    return ranges;
}

ZV_SelectEpisodeContentView::Episodes ZV_SelectEpisodeContentView::pageEpisodes(
    const std::string& range, const Episodes& list)
{
    if (list.size() <= static_cast<std::size_t>(pageSize))
        return list;
    std::size_t dash = range.find('-');
    if (dash == std::string::npos)
        return {};
    std::optional<std::size_t> first = decimal(std::string_view(range).substr(0, dash));
    std::optional<std::size_t> last = decimal(std::string_view(range).substr(range.rfind('-') + 1));
    if (!first || !last || *first < 1 || *first > *last || *first > list.size())
        return {};
    return Episodes(list.begin() + static_cast<std::ptrdiff_t>(*first - 1),
        list.begin() + static_cast<std::ptrdiff_t>(std::min(*last, list.size())));
}

void ZV_SelectEpisodeContentView::reloadSegments()
{
    std::size_t count = list.size();
    filterList = ranges(count);
    bool paged = count > static_cast<std::size_t>(pageSize);
    row = static_cast<int>(count / pageSize);
    remainder = static_cast<int>(count % pageSize);
    std::vector<std::string> titles;
    for (const auto& range : filterList)
        titles.push_back(paged ? range + "集" : range);
    m_dataSource->titles = std::move(titles);
    m_segmentHeight->updateOffset(paged ? segmentHeight : 0);
    m_containerTop->updateOffset(paged ? pagedContainerTop : segmentTop);
    m_segmentedView->setHidden(!paged);
    setNeedsLayout();
    m_segmentedView->reloadData();
}

std::shared_ptr<JXSegmentedListContainerViewListDelegate> ZV_SelectEpisodeContentView::initListAt(
    JXSegmentedListContainerView&, int index)
{
    auto page = ZV_SelectEpisodeContentListView::make();
    page->isMore = filterList.size() > 1;
    page->isDownload = isDownload;
    page->episodeId = episodeId;
    page->model = m_model;
    std::string range = index >= 0 && index < static_cast<int>(filterList.size())
        ? filterList[static_cast<std::size_t>(index)]
        : std::string();
    page->setList(pageEpisodes(range, list));
    std::weak_ptr<UIView> weak = weakFromThis();
    page->clickIndexWithEpisodeId = [weak](const std::string& id) {
        auto self = std::static_pointer_cast<ZV_SelectEpisodeContentView>(weak.lock());
        if (self && self->clickIndexWithEpisodeId)
            self->clickIndexWithEpisodeId(id);
    };
    return page;
}
