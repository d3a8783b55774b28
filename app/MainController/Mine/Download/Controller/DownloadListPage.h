#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_DownLoadModel.h"
#include "app/MainController/Mine/Playback/FullWidthRows.h"
#include "platform/ui/lists/UICollectionView.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class UIButton;
class ZV_AdvertView;
class ZV_DownloadCell;

// What the pages of the download centre share: the banner above a list of download rows, the
// edit switch, and in edit mode a bar with "全选" and delete that asks before deleting the
// selected records. The pages say what is listed, how a row looks and what a deletion removes.
class DownloadListPage : public BaseViewController, public UICollectionViewDataSource, public FullWidthRows {
public:
    ~DownloadListPage() override;

    bool isEdit() const { return m_isEdit; }
    const std::vector<ZV_DownLoadModel>& selectList() const { return m_selectList; }

    const std::shared_ptr<ZV_AdvertView>& zv_advertView() const { return m_advertView; }
    const std::shared_ptr<UICollectionView>& zv_collectionView();
    const std::shared_ptr<UIButton>& editBtn();
    const std::shared_ptr<UIView>& zv_bottomView();
    const std::shared_ptr<UIButton>& zv_allBtn();
    const std::shared_ptr<UIButton>& zv_delBtn();

    // The banner, the list and the (hidden) edit bar.
    void viewDidLoad() override;

    virtual void loadList() = 0;
    // Deletes the records each selected row stands for, with their media, and lists again.
    virtual void deleteSelected();

    void setEdit(bool edit);
    void selectAll();
    // Asks before deleting; nothing happens with nothing selected.
    void confirmDelete();

protected:
    struct Look {
        // The list's accessibility identifier.
        const char* listIdentifier = "";
        // How far the list ends above the safe area, leaving room for a bar of the page's own.
        CGFloat listBottomGap = 0;
        bool opaqueEditBar = false;
    };
    explicit DownloadListPage(Look look);

    // Called in viewDidLoad after the list is placed and before the edit bar, which then covers
    // what is added here.
    virtual void addPageBars(UIView&) { }
    // Every listed row's record, in list order (for "全选").
    virtual std::vector<ZV_DownLoadModel> listedRecords() const = 0;
    // The stored records a selected row stands for.
    virtual std::vector<ZV_DownLoadModel> recordsToDelete(const ZV_DownLoadModel& selected) const = 0;

    // A new list: the select-all button counts it and the rows are drawn again.
    void listChanged(std::size_t count);
    // Leaves edit mode without drawing again (for an emptied list).
    void leaveEditQuietly();
    // Selects or deselects a row's record in edit mode and recounts the delete button.
    void toggleSelected(const ZV_DownLoadModel& record);
    // The listed record of a row; none for a row not in the list.
    static const ZV_DownLoadModel* recordAt(
        const std::vector<ZV_DownLoadModel>& list, const IndexPath& indexPath);
    // A row drawn by one of the cell's setters, with its edit state; an empty cell for no record.
    std::shared_ptr<UICollectionViewCell> recordCell(UICollectionView& view, const IndexPath& indexPath,
        const ZV_DownLoadModel* record, void (ZV_DownloadCell::*fill)(std::optional<ZV_DownLoadModel>));
    // The edit state of a row; its check mark only in edit mode.
    void prepareCell(ZV_DownloadCell& cell) const;
    void showSelection(ZV_DownloadCell& cell, const ZV_DownLoadModel& record) const;

    bool m_isEdit = false;
    std::vector<ZV_DownLoadModel> m_selectList;

private:
    std::weak_ptr<DownloadListPage> weakPage();

    Look m_look;
    std::shared_ptr<ZV_AdvertView> m_advertView;
    std::shared_ptr<UICollectionView> m_collectionView;
    std::shared_ptr<UIButton> m_editBtn;
    std::shared_ptr<UIView> m_bottomView;
    std::shared_ptr<UIButton> m_allBtn;
    std::shared_ptr<UIButton> m_delBtn;
};
