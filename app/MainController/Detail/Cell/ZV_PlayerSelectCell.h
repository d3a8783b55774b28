#pragma once

#include "app/BaseController/BaseTableViewCell.h"
#include "platform/ui/lists/UICollectionView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Constraint;
class QMUIButton;
class QMUILabel;
struct ZV_DetailModel;
struct ZV_DetailDataListPlayFromListModel;

// The episode row under a player: the caption "选集" with a button that opens all episodes, a box
// naming the play source in use with its number of videos and a "切换资源" button, and a strip of
// episode chips in which the episode now playing stands out. A tap on a chip hands its id to the
// owner. Offline the source box is hidden and takes no room. No network or storage work; the
// buttons' actions are the owner's.
class ZV_PlayerSelectCell : public BaseTableViewCell,
                            public UICollectionViewDataSource,
                            public UICollectionViewDelegateFlowLayout {
public:
    using Episodes = std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>>;

    static constexpr CGFloat chipHeight = 44;
    static constexpr CGFloat chipPadding = 32;
    static constexpr CGFloat unlimitedWidth = 100000;

    explicit ZV_PlayerSelectCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});
    ~ZV_PlayerSelectCell() override;

    std::string className() const override { return "ZV_PlayerSelectCell"; }

    const std::shared_ptr<QMUILabel>& zv_title();
    const std::shared_ptr<QMUIButton>& zv_moreBtn();
    const std::shared_ptr<UIView>& zv_selectSourceView();
    const std::shared_ptr<QMUILabel>& zv_sourceName();
    const std::shared_ptr<QMUILabel>& zv_sourceCount();
    const std::shared_ptr<QMUIButton>& zv_sourceChangeBtn();
    const std::shared_ptr<UICollectionView>& zv_collectionView();
    const std::shared_ptr<UIView>& zv_line();

    // The title: its first source with episodes fills the strip and the source box.
    const std::shared_ptr<ZV_DetailModel>& model() const { return m_model; }
    void setModel(std::shared_ptr<ZV_DetailModel> model);
    Episodes modelList;
    bool isOffline() const { return m_isOffline; }
    // Hides the source box and gives it no height.
    void setOffline(bool offline);
    std::function<void(const std::string&)> clickIndexWithEpisodeId;
    // What the source box's switch button and the more button do.
    std::function<void()> clickSourceChange;
    std::function<void()> clickMore;
    // The episode now playing.
    std::string episodeId;

    virtual void setupUI();
    // Lays the strip out again once the row has given it its size, so that its chips exist.
    void layoutSubviews() override;
    // Reloads the strip and centres the current episode (the first when none is current).
    virtual void scrollToCurrentEpisode();
    // The same, in the next turn of the main loop.
    void reloadEpisodes();

    // The chip of an episode: its name's width in bold 14 pt, rounded up, plus 32; 32 for no name,
    // 58 outside the list.
    static CGSize chipSize(const Episodes& list, int item);

    // UICollectionViewDataSource
    int numberOfItems(UICollectionView&, int) override { return static_cast<int>(modelList.size()); }
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath& indexPath) override;
    // UICollectionViewDelegateFlowLayout
    void didSelectItem(UICollectionView&, const IndexPath& indexPath) override;
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;

private:
    // The strip gets this row as its data source once the row is owned.
    void attachStrip();

    std::shared_ptr<QMUILabel> m_title;
    std::shared_ptr<QMUIButton> m_moreBtn;
    std::shared_ptr<UIView> m_selectSourceView;
    std::shared_ptr<QMUILabel> m_sourceName;
    std::shared_ptr<QMUILabel> m_sourceCount;
    std::shared_ptr<QMUIButton> m_sourceChangeBtn;
    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<UIView> m_line;
    std::shared_ptr<ZV_DetailModel> m_model;
    std::shared_ptr<Constraint> m_sourceHeight;
    bool m_isOffline = true;
    bool m_stripAttached = false;
    CGSize m_stripSize;
};
