#pragma once

#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UITableViewCell.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMUIButton;
class QMUILabel;
struct ZV_DetailModel;
struct ZV_DetailDataListPlayFromListModel;

// Row 3 of the title page (and the offline player's episode row): "选集" with a button that opens
// the episode sheet, a box naming the source in use with its number of videos and "切换资源", and
// a strip of episode chips with the current one highlighted. A chip hands its episode id to the
// owner; filling the row scrolls the current chip into the middle.
class ZV_PlayerSelectCell : public UITableViewCell,
                            public UICollectionViewDataSource,
                            public UICollectionViewDelegateFlowLayout {
public:
    using Episodes = std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>>;

    static constexpr CGFloat chipHeight = 44;

    explicit ZV_PlayerSelectCell(
        UITableViewCellStyle style = UITableViewCellStyle::defaultStyle, std::string reuseIdentifier = {});

    std::string className() const override { return "ZV_PlayerSelectCell"; }

    const std::shared_ptr<QMUILabel>& zv_title() const { return m_title; }
    const std::shared_ptr<QMUIButton>& zv_moreBtn() const { return m_moreBtn; }
    const std::shared_ptr<UIView>& zv_selectSourceView() const { return m_selectSourceView; }
    const std::shared_ptr<QMUILabel>& zv_sourceName() const { return m_sourceName; }
    const std::shared_ptr<QMUILabel>& zv_sourceCount() const { return m_sourceCount; }
    const std::shared_ptr<QMUIButton>& zv_sourceChangeBtn() const { return m_sourceChangeBtn; }
    const std::shared_ptr<UICollectionView>& zv_collectionView() const { return m_collectionView; }
    const std::shared_ptr<UIView>& zv_line() const { return m_line; }

    Episodes modelList;
    std::string episodeId; // the episode playing
    std::function<void(const std::string&)> clickIndexWithEpisodeId;
    // What the source box's switch button and the more button do.
    std::function<void()> clickSourceChange;
    std::function<void()> clickMore;

    const std::shared_ptr<ZV_DetailModel>& model() const { return m_model; }
    // Takes the source in use: its episodes fill the strip, its name and count the box. A title
    // without episodes changes nothing.
    void setModel(std::shared_ptr<ZV_DetailModel> model);
    bool isOffline() const { return m_isOffline; }
    // Offline use: the source box goes, so the strip moves up under the caption.
    void setOffline(bool offline);

    // Reloads the strip and scrolls to the current chip in the next turn of the main loop.
    void reloadEpisodes();
    void scrollToCurrentEpisode();

    // A chip's size: its name in bold 14 pt + 32 wide (32 without a name), 58 outside the list.
    static CGSize chipSize(const Episodes& list, int item);

    // UICollectionViewDataSource, UICollectionViewDelegateFlowLayout
    int numberOfItems(UICollectionView&, int) override { return static_cast<int>(modelList.size()); }
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;
    void didSelectItem(UICollectionView&, const IndexPath&) override;

private:
    void setupUI();
    void attachStrip();

    std::shared_ptr<ZV_DetailModel> m_model;
    bool m_isOffline = true;
    std::shared_ptr<QMUILabel> m_title;
    std::shared_ptr<QMUIButton> m_moreBtn;
    std::shared_ptr<UIView> m_selectSourceView;
    std::shared_ptr<QMUILabel> m_sourceName;
    std::shared_ptr<QMUILabel> m_sourceCount;
    std::shared_ptr<QMUIButton> m_sourceChangeBtn;
    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<UIView> m_line;
    std::shared_ptr<Constraint> m_sourceHeight;
};
