#include "app/MainController/Mine/PersonalData/ZV_PersonalDataVC.h"

#include "app/Core/Helpers/ImageOrientation.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Core/Network/ZV_NetworkReply.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Login/View/ZV_AccountForm.h"
#include "app/MainController/Mine/BindPhone/ZV_BindPhoneVC.h"
#include "app/MainController/Mine/ChangeName/ZV_ChangeNameVC.h"
#include "app/MainController/Mine/ChangePassword/ZV_ChangePasswordVC.h"
#include "app/MainController/Mine/PersonalData/ZV_PersonalDataCollCell.h"
#include "platform/foundation/Log.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UIAlertController.h"
#include "platform/ui/UIColor.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UICollectionViewFlowLayout.h"

#include <utility>

void ZV_PersonalDataVC::setModel(std::shared_ptr<ZV_UserInfoModel> model)
{
    m_model = std::move(model);
    collectionView()->reloadData();
}

const std::shared_ptr<UICollectionView>& ZV_PersonalDataVC::collectionView()
{
    if (!m_collectionView) {
        auto layout = std::make_shared<UICollectionViewFlowLayout>();
        m_collectionView = std::make_shared<UICollectionView>(CGRect {}, layout);
        m_collectionView->setBackgroundColor(UIColor::clear());
        m_collectionView->setShowsHorizontalScrollIndicator(false);
        m_collectionView->setShowsVerticalScrollIndicator(false);
        m_collectionView->setContentInset({ 16, 0, 0, 0 });
        auto self = accountform::shared(*this);
        m_collectionView->setDataSource(std::weak_ptr<UICollectionViewDataSource>(self));
        m_collectionView->setDelegate(std::weak_ptr<UICollectionViewDelegate>(self));
        registerCell<ZV_PersonalDataCollCell>(*m_collectionView);
        m_collectionView->setAccessibilityIdentifier("personal.list");
    }
    return m_collectionView;
}

void ZV_PersonalDataVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setTitle("个人资料");
    view()->addSubview(collectionView());
    snp(collectionView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
}

void ZV_PersonalDataVC::viewWillAppear(bool animated)
{
    BaseViewController::viewWillAppear(animated);
    // The pages opened from here edit the same profile object: show what they changed.
    collectionView()->reloadData();
}

std::optional<ZV_PersonalDataRowType> ZV_PersonalDataVC::rowAt(const IndexPath& indexPath) const
{
    if (indexPath.section != 0 || indexPath.item < 0
        || indexPath.item >= static_cast<int>(m_sectionList.size()))
        return std::nullopt;
    return m_sectionList[static_cast<std::size_t>(indexPath.item)];
}

int ZV_PersonalDataVC::numberOfItems(UICollectionView&, int)
{
    return static_cast<int>(m_sectionList.size());
}

std::shared_ptr<UICollectionViewCell> ZV_PersonalDataVC::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    std::optional<ZV_PersonalDataRowType> row = rowAt(indexPath);
    if (!row)
        return std::make_shared<UICollectionViewCell>();
    auto cell = dequeueCell<ZV_PersonalDataCollCell>(view, indexPath);
    cell->rowType = *row;
    cell->setModel(m_model);
    return cell;
}

std::optional<CGSize> ZV_PersonalDataVC::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath& indexPath)
{
    std::optional<ZV_PersonalDataRowType> row = rowAt(indexPath);
    if (!row)
        return CGSize { 0, 0 };
    return CGSize { screenWidth() - 48, *row == ZV_PersonalDataRowType::head ? CGFloat(100) : CGFloat(58) };
}

std::optional<UIEdgeInsets> ZV_PersonalDataVC::insetForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return UIEdgeInsets { 0, 24, 0, 24 };
}

std::optional<CGFloat> ZV_PersonalDataVC::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 8;
}

std::optional<CGFloat> ZV_PersonalDataVC::minimumInteritemSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 6;
}

void ZV_PersonalDataVC::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    std::optional<ZV_PersonalDataRowType> row = rowAt(indexPath);
    if (!row)
        return;
    if (*row == ZV_PersonalDataRowType::head) {
        showAvatarSheet();
        return;
    }
    std::shared_ptr<UINavigationController> navigation = navigationController();
    if (!navigation)
        return;
    switch (*row) {
    case ZV_PersonalDataRowType::nickName:
    case ZV_PersonalDataRowType::userName: {
        auto page = std::make_shared<ZV_ChangeNameVC>();
        page->setType(*row);
        page->setModel(m_model);
        navigation->pushViewController(page, true);
        break;
    }
    case ZV_PersonalDataRowType::phone:
    case ZV_PersonalDataRowType::mail: {
        auto page = std::make_shared<ZV_BindPhoneVC>();
        page->registerType = *row == ZV_PersonalDataRowType::phone ? ForgotType::phone : ForgotType::mail;
        page->model = m_model;
        navigation->pushViewController(page, true);
        break;
    }
    case ZV_PersonalDataRowType::pass:
        navigation->pushViewController(std::make_shared<ZV_ChangePasswordVC>(), true);
        break;
    case ZV_PersonalDataRowType::head:
        break;
    }
}

void ZV_PersonalDataVC::showAvatarSheet()
{
    auto sheet = UIAlertController::make("上传头像", "", UIAlertControllerStyle::actionSheet);
    std::weak_ptr<ZV_PersonalDataVC> weakSelf = accountform::shared(*this);
    sheet->addAction(UIAlertAction::make("取消", UIAlertActionStyle::cancel));
    sheet->addAction(UIAlertAction::make("拍照", UIAlertActionStyle::destructive, [weakSelf](UIAlertAction&) {
        if (!UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType::camera)) {
            Log::write("模拟其中无法打开照相机,请在真机中使用");
            return;
        }
        if (auto self = weakSelf.lock())
            self->openPicker(UIImagePickerControllerSourceType::camera);
    }));
    sheet->addAction(
        UIAlertAction::make("相册选取", UIAlertActionStyle::defaultStyle, [weakSelf](UIAlertAction&) {
            if (auto self = weakSelf.lock())
                self->openPicker(UIImagePickerControllerSourceType::photoLibrary);
        }));
    present(sheet, true);
}

void ZV_PersonalDataVC::openPicker(UIImagePickerControllerSourceType source)
{
    auto picker = std::make_shared<UIImagePickerController>();
    picker->setSourceType(source);
    picker->setDelegate(std::weak_ptr<UIImagePickerControllerDelegate>(accountform::shared(*this)));
    picker->setAllowsEditing(true);
    present(picker, true);
}

CGFloat ZV_PersonalDataVC::jpegQuality(CGSize size)
{
    if (size.width >= 1500 && size.height >= 1500)
        return 0.2;
    if (size.width >= 800 && size.height >= 800)
        return 0.5;
    return 1.0;
}

void ZV_PersonalDataVC::imagePickerControllerDidFinishPickingMediaWithInfo(
    UIImagePickerController& picker, const UIImagePickerMediaInfo& info)
{
    if (info.mediaType == "public.image" && info.originalImage)
        uploadAvatar(*info.originalImage);
    picker.dismiss(true);
}

void ZV_PersonalDataVC::uploadAvatar(const UIImage& picked)
{
    UIImage image = picked;
    // Uploads carry no orientation: the bitmap goes up upright, one pixel per point.
    if (image.hasBitmap()) {
        UIImage rebuilt = UIImage::fromSurface(image.cairoSurface(), 1.0, image.imageOrientation());
        if (std::optional<UIImage> upright = fixOrientation(rebuilt); upright && !upright->isEmpty())
            image = *upright;
    }
    std::optional<Data> jpeg = image.jpegData(jpegQuality(image.size()));
    if (!jpeg)
        return;
    auto self = accountform::shared(*this);
    ZV_Network::shared().uploadImage(ZV_API::changeAvatar, std::move(*jpeg), "avatar_file", "image.jpg",
        "image/jpeg", [self](std::optional<JSON> json, std::optional<NSError> error) {
            self->avatarUploaded(json, error);
        });
}

void ZV_PersonalDataVC::avatarUploaded(const std::optional<JSON>& json, const std::optional<NSError>& error)
{
    // Only a success that names the new picture changes the avatar.
    std::string url = json ? (*json)["data"]["url"].stringValue() : std::string();
    bool succeeded = json && !error && (*json)["errorCode"].intValue() == 0 && !url.empty();
    if (!succeeded) {
        std::string message = json ? (*json)["msg"].stringValue() : std::string();
        if (message.empty())
            message = error ? error->domain : ZV_NetworkReply::unusableReplyError().domain;
        QMUITips::showError(message);
        return;
    }
    Log::write("头像上传: " + json->rawString().value_or(""));
    QMUITips::showSucceed((*json)["msg"].stringValue());
    if (m_model)
        m_model->avatar = url;
    collectionView()->reloadData();
}
