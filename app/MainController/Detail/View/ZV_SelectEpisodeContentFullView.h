#pragma once

#include "app/Extensions/CollectionViewAnimation.h"
#include "platform/ui/UIView.h"
#include "platform/ui/lists/UICollectionView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMUIButton;
class QMUILabel;
class UIStackView;
class UIVisualEffectView;
struct ZV_DetailModel;
struct ZV_DetailDataListPlayFromListModel;

// The episodes over the full-screen player: a grid of chips on a blurred panel at the right. A
// source of more than 100 episodes is shown one range of 100 at a time; the range button turns
// the grid into the list of ranges, and choosing one shows its episodes. A tapped episode's id
// goes to clickIndexWithEpisodeId; the panel plays nothing itself.
class ZV_SelectEpisodeContentFullView : public UIView,
                                        public UICollectionViewDataSource,
                                        public UICollectionViewDelegateFlowLayout {
public:
    using Episodes = std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>>;

    static constexpr int rangeSize = 100;
    // Wider names put one chip on a line.
    static constexpr CGFloat twoColumnNameWidth = 130;

    static std::shared_ptr<ZV_SelectEpisodeContentFullView> make(const CGRect& frame);
    explicit ZV_SelectEpisodeContentFullView(const CGRect& frame);

    std::string className() const override { return "ZV_SelectEpisodeContentFullView"; }

    int row = 0; // whole ranges of 100
    int remainder = 0; // episodes after the last whole range
    int filterIndex = 0; // the chosen range
    bool isOneRow = false; // one wide chip per line, for the rest of the panel's life
    bool isFilter = false; // the grid shows the ranges
    std::string episodeId;
    std::vector<std::string> filterList; // "1-100", "101-150"...
    CollectionViewAnimation animation;
    Episodes list; // the episodes on show
    std::shared_ptr<ZV_DetailModel> model;
    std::function<void(const std::string&)> clickIndexWithEpisodeId;

    const std::shared_ptr<UIVisualEffectView>& blurView() const { return m_blurView; }
    const std::shared_ptr<UIStackView>& stackView() const { return m_stackView; }
    const std::shared_ptr<QMUIButton>& backBtn() const { return m_backBtn; }
    const std::shared_ptr<QMUILabel>& title() const { return m_title; }
    const std::shared_ptr<QMUILabel>& episodeCount() const { return m_episodeCount; }
    const std::shared_ptr<QMUIButton>& episodeSelectBtn() const { return m_episodeSelectBtn; }
    const std::shared_ptr<UICollectionView>& collectionView() const { return m_collectionView; }

    virtual void setupUI();
    // From the first source of the title that has episodes, then to the current episode.
    void reloadCurrentSource();
    // From the whole episode list of one source (the offline entry calls it directly).
    virtual void reloadData(Episodes episodes);
    virtual void showFilter();
    virtual void hideFilter();
    void zv_clickFilter() { showFilter(); }
    void zv_clickBack() { hideFilter(); }
    void scrollToCurrentEpisode();

    // UICollectionViewDataSource, UICollectionViewDelegateFlowLayout
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath&) override;
    std::optional<CGSize> sizeForItem(UICollectionView&, UICollectionViewLayout&, const IndexPath&) override;
    void didSelectItem(UICollectionView&, const IndexPath&) override;

private:
    // The whole list of the source in use: the title's, else the one last given to reloadData.
    Episodes sourceEpisodes() const;

    std::shared_ptr<UIVisualEffectView> m_blurView;
    std::shared_ptr<UIStackView> m_stackView;
    std::shared_ptr<QMUIButton> m_backBtn;
    std::shared_ptr<QMUILabel> m_title;
    std::shared_ptr<QMUILabel> m_episodeCount;
    std::shared_ptr<QMUIButton> m_episodeSelectBtn;
    std::shared_ptr<UICollectionView> m_collectionView;
    Episodes m_fullList;
};
