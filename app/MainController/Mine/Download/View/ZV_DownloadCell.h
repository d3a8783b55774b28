#pragma once

#include "app/Core/Models/ZV_DownLoadModel.h"
#include "platform/ui/lists/UICollectionViewCell.h"

#include <memory>
#include <optional>
#include <string>

class QMUIPieProgressView;
class UIButton;
class UIImageView;
class UILabel;

// The row of the three download lists (90 high), drawn in one of three looks by the record
// property that is set: downloading (title and episode, the source's tag; the list adds the
// state line and the pie), a downloaded title (the number of finished episodes on the cover,
// the total size and the type) and a downloaded episode (size and whether it was watched).
// Setting a property to none leaves the row as it was.
class ZV_DownloadCell : public UICollectionViewCell {
public:
    ZV_DownloadCell();
    explicit ZV_DownloadCell(const CGRect& frame);

    std::string className() const override { return "ZV_DownloadCell"; }

    // Set by the lists to their edit mode; the cell itself does not read it.
    bool isEdit = false;

    const std::optional<ZV_DownLoadModel>& downloadingModel() const { return m_downloadingModel; }
    void setDownloadingModel(std::optional<ZV_DownLoadModel> record);
    const std::optional<ZV_DownLoadModel>& downloadModel() const { return m_downloadModel; }
    // Reads the title's records from the store: the finished ones are counted, every one's size
    // is added up.
    void setDownloadModel(std::optional<ZV_DownLoadModel> record);
    const std::optional<ZV_DownLoadModel>& downloadListModel() const { return m_downloadListModel; }
    void setDownloadListModel(std::optional<ZV_DownLoadModel> record);

    // The total size, " / " and the type: the downloaded-title look's line.
    static std::string titleDescription(double kilobytes, const std::string& typeName);
    // The size, " / " and "未观看" for "no" or "已观看" for anything else.
    static std::string episodeDescription(const ZV_DownLoadModel& record);

    void awakeFromNib();
    // Rounds the count's backing to a capsule at its current size.
    void layoutSubviews() override;

    const std::shared_ptr<UIView>& zv_imageBgView() const { return m_imageBgView; }
    const std::shared_ptr<UIImageView>& zv_imageView() const { return m_imageView; }
    const std::shared_ptr<UIView>& zv_imageTitleView() const { return m_imageTitleView; }
    const std::shared_ptr<UILabel>& zv_imageTitleLb() const { return m_imageTitleLb; }
    const std::shared_ptr<UIButton>& zv_selBtn() const { return m_selBtn; }
    const std::shared_ptr<UIView>& zv_lineView() const { return m_lineView; }
    const std::shared_ptr<UILabel>& zv_titleLb() const { return m_titleLb; }
    const std::shared_ptr<UILabel>& zv_tagLb() const { return m_tagLb; }
    const std::shared_ptr<UILabel>& zv_desLb() const { return m_desLb; }
    const std::shared_ptr<QMUIPieProgressView>& pieProgressView();

private:
    void buildLayout();
    void showCover(const ZV_DownLoadModel& record);

    std::optional<ZV_DownLoadModel> m_downloadingModel;
    std::optional<ZV_DownLoadModel> m_downloadModel;
    std::optional<ZV_DownLoadModel> m_downloadListModel;
    std::optional<std::string> m_coverURL; // the cover asked for last
    std::shared_ptr<UIView> m_imageBgView;
    std::shared_ptr<UIImageView> m_imageView;
    std::shared_ptr<UIView> m_imageTitleView;
    std::shared_ptr<UILabel> m_imageTitleLb;
    std::shared_ptr<UIButton> m_selBtn;
    std::shared_ptr<UIView> m_lineView;
    std::shared_ptr<UILabel> m_titleLb;
    std::shared_ptr<UILabel> m_tagLb;
    std::shared_ptr<UILabel> m_desLb;
    std::shared_ptr<QMUIPieProgressView> m_pieProgressView;
};
