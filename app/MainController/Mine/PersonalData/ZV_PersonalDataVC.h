#pragma once

#include "app/BaseController/BaseViewController.h"
#include "app/Core/Models/ZV_UserInfoModel.h"
#include "app/MainController/Mine/PersonalData/ZV_PersonalDataRowType.h"
#include "platform/foundation/NSError.h"
#include "platform/json/JSON.h"
#include "platform/ui/lists/UICollectionView.h"
#include "platform/ui/photos/UIImagePickerController.h"

#include <memory>
#include <optional>
#include <vector>

// The signed-in viewer's profile as six rows: avatar, nickname, user name, phone, e-mail and
// password. The rows open the pages that change them, each handed the same profile object, which
// they edit in place; the rows are drawn again whenever the page shows. The avatar row offers
// the camera or the photo album; the picked picture goes up as JPEG, at a quality chosen by its
// size, and a reply with its new address replaces the avatar (any other reply shows an error and
// keeps it).
class ZV_PersonalDataVC : public BaseViewController,
                          public UICollectionViewDataSource,
                          public UICollectionViewDelegateFlowLayout,
                          public UIImagePickerControllerDelegate {
public:
    ZV_PersonalDataVC() = default;

    std::string className() const override { return "ZV_PersonalDataVC"; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    const std::shared_ptr<ZV_UserInfoModel>& model() const { return m_model; }
    // Redraws the rows.
    void setModel(std::shared_ptr<ZV_UserInfoModel> model);
    const std::vector<ZV_PersonalDataRowType>& sectionList() const { return m_sectionList; }
    // Made on first use.
    const std::shared_ptr<UICollectionView>& collectionView();

    // The sheet "上传头像": "取消", "拍照" (camera) and "相册选取" (album).
    virtual void showAvatarSheet();
    // The JPEG quality for a picture of this size in points: 0.2 from 1500 by 1500, 0.5 from 800
    // by 800, else 1.0.
    static CGFloat jpegQuality(CGSize size);
    // The upload's completion.
    void avatarUploaded(const std::optional<JSON>& json, const std::optional<NSError>& error);

    // UICollectionViewDataSource
    int numberOfItems(UICollectionView&, int section) override;
    std::shared_ptr<UICollectionViewCell> cellForItem(UICollectionView&, const IndexPath& indexPath) override;
    // UICollectionViewDelegateFlowLayout
    void didSelectItem(UICollectionView&, const IndexPath& indexPath) override;
    std::optional<CGSize> sizeForItem(
        UICollectionView&, UICollectionViewLayout&, const IndexPath& indexPath) override;
    std::optional<UIEdgeInsets> insetForSection(UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumLineSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    std::optional<CGFloat> minimumInteritemSpacingForSection(
        UICollectionView&, UICollectionViewLayout&, int) override;
    // UIImagePickerControllerDelegate
    void imagePickerControllerDidFinishPickingMediaWithInfo(
        UIImagePickerController& picker, const UIImagePickerMediaInfo& info) override;

private:
    std::optional<ZV_PersonalDataRowType> rowAt(const IndexPath& indexPath) const;
    void openPicker(UIImagePickerControllerSourceType source);
    void uploadAvatar(const UIImage& picked);

    std::shared_ptr<ZV_UserInfoModel> m_model;
    const std::vector<ZV_PersonalDataRowType> m_sectionList { ZV_PersonalDataRowType::head,
        ZV_PersonalDataRowType::nickName, ZV_PersonalDataRowType::userName, ZV_PersonalDataRowType::phone,
        ZV_PersonalDataRowType::mail, ZV_PersonalDataRowType::pass };
    std::shared_ptr<UICollectionView> m_collectionView;
};
