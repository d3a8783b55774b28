#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterVC.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/SessionHelpers.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/CellRegistration.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Mine/About/ZV_AboutVC.h"
#include "app/MainController/Mine/Collect/ZV_CollectVC.h"
#include "app/MainController/Mine/Download/Controller/ZV_DownloadVC.h"
#include "app/MainController/Mine/Help/ZV_HelpVC.h"
#include "app/MainController/Mine/Message/ZV_MessageVC.h"
#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterCollCell.h"
#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterItemCell.h"
#include "app/MainController/Mine/PersonalCenter/ZV_PersonalCenterUserCell.h"
#include "app/MainController/Mine/PersonalData/ZV_PersonalDataVC.h"
#include "app/MainController/Mine/Playback/ZV_PlaybackVC.h"
#include "app/MainController/Mine/Setting/ZV_SettingVC.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/MainController/Other/View/ZV_AdvertCollCell.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIButton.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/lists/UICollectionViewFlowLayout.h"
#include "platform/ui/sharing/UIPasteboard.h"

#include <utility>

namespace {

// The "user_index" advert, when the configuration has come.
std::optional<ZV_AdvertModel> userIndexAdvert()
{
    const auto& config = ConfigSingleton::shared().advertConfigModel;
    if (!config)
        return std::nullopt;
    return config->user_index;
}

}

ZV_PersonalCenterVC::~ZV_PersonalCenterVC()
{
    NotificationCenter::defaultCenter().removeObservers(this);
}

const std::shared_ptr<UICollectionView>& ZV_PersonalCenterVC::collectionView()
{
    if (!m_collectionView) {
        m_collectionView
            = std::make_shared<UICollectionView>(CGRect {}, std::make_shared<UICollectionViewFlowLayout>());
        auto self = std::static_pointer_cast<ZV_PersonalCenterVC>(sharedFromThis());
        m_collectionView->setDelegate(std::weak_ptr<UICollectionViewDelegate>(self));
        m_collectionView->setDataSource(std::weak_ptr<UICollectionViewDataSource>(self));
        m_collectionView->setBackgroundColor(UIColor::clear());
        m_collectionView->setShowsHorizontalScrollIndicator(false);
        m_collectionView->setShowsVerticalScrollIndicator(false);
        m_collectionView->setContentInset({ 16, 0, 0, 0 });
        registerCell<ZV_PersonalCenterUserCell>(*m_collectionView);
        registerCell<ZV_PersonalCenterItemCell>(*m_collectionView);
        registerCell<ZV_PersonalCenterCollCell>(*m_collectionView);
        registerCell<ZV_AdvertCollCell>(*m_collectionView);
        m_collectionView->setAccessibilityIdentifier("mine.list");
    }
    return m_collectionView;
}

void ZV_PersonalCenterVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    view()->addSubview(collectionView());
    snp(collectionView()).makeConstraints([](ConstraintMaker& make) { make.edges().equalToSuperview(); });
    addObservers();
    loadData();
}

void ZV_PersonalCenterVC::viewWillAppear(bool animated)
{
    BaseViewController::viewWillAppear(animated);
    collectionView()->reloadData();
}

void ZV_PersonalCenterVC::addObservers()
{
    std::weak_ptr<ZV_PersonalCenterVC> weakSelf
        = std::static_pointer_cast<ZV_PersonalCenterVC>(sharedFromThis());
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::loginSuccess)),
        [weakSelf](const Notification&) {
            if (auto self = weakSelf.lock())
                self->loadData();
        },
        this);
    center.addObserver(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::logoutSuccess)),
        [weakSelf](const Notification&) {
            if (auto self = weakSelf.lock())
                self->logoutSuccess();
        },
        this);
}

void ZV_PersonalCenterVC::loadData()
{
    std::weak_ptr<ZV_PersonalCenterVC> weakSelf
        = std::static_pointer_cast<ZV_PersonalCenterVC>(sharedFromThis());
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/user/info", JSON::object(),
        [weakSelf](std::optional<JSON> json, std::optional<NSError>) {
            if (auto self = weakSelf.lock())
                self->userInfoReceived(json);
        });
}

void ZV_PersonalCenterVC::userInfoReceived(const std::optional<JSON>& json)
{
    // Signed out, the server's refusal is delivered as its message text: no profile.
    if (json && json->type() == JSON::Type::Object) {
        m_model = std::make_shared<ZV_UserInfoModel>(*json);
        setupSectionList();
        ConfigSingleton::shared().zv_userInfoModel = m_model;
        return;
    }
    setupSectionList();
}

void ZV_PersonalCenterVC::logoutSuccess()
{
    m_model.reset();
    setupSectionList();
}

void ZV_PersonalCenterVC::setupSectionList()
{
    using Row = PersonalCenterRowType;
    m_sectionList.clear();
    m_sectionList.push_back({ Row::user });
    m_sectionList.push_back({ Row::collect, Row::record, Row::download });
    if (std::optional<ZV_AdvertModel> advert = userIndexAdvert(); advert && !advert->data.image.empty())
        m_sectionList.push_back({ Row::advert });
    m_sectionList.push_back({ Row::message, Row::share, Row::feedback, Row::help, Row::contact });
    collectionView()->reloadData();
}

std::optional<PersonalCenterRowType> ZV_PersonalCenterVC::rowAt(const IndexPath& indexPath) const
{
    if (indexPath.section < 0 || indexPath.section >= static_cast<int>(m_sectionList.size()))
        return std::nullopt;
    const auto& section = m_sectionList[static_cast<std::size_t>(indexPath.section)];
    if (indexPath.item < 0 || indexPath.item >= static_cast<int>(section.size()))
        return std::nullopt;
    return section[static_cast<std::size_t>(indexPath.item)];
}

int ZV_PersonalCenterVC::numberOfSections(UICollectionView&)
{
    return static_cast<int>(m_sectionList.size());
}

int ZV_PersonalCenterVC::numberOfItems(UICollectionView&, int section)
{
    if (section < 0 || section >= static_cast<int>(m_sectionList.size()))
        return 0;
    return static_cast<int>(m_sectionList[static_cast<std::size_t>(section)].size());
}

std::shared_ptr<UICollectionViewCell> ZV_PersonalCenterVC::cellForItem(
    UICollectionView& view, const IndexPath& indexPath)
{
    std::optional<PersonalCenterRowType> row = rowAt(indexPath);
    if (!row)
        return std::make_shared<UICollectionViewCell>();
    std::weak_ptr<ZV_PersonalCenterVC> weakSelf
        = std::static_pointer_cast<ZV_PersonalCenterVC>(sharedFromThis());
    switch (*row) {
    case PersonalCenterRowType::user: {
        auto cell = dequeueCell<ZV_PersonalCenterUserCell>(view, indexPath);
        cell->setModel(m_model);
        // A reused header keeps one handler per button.
        cell->loginBtn()->removeActions(UIControlEventTouchUpInside);
        cell->loginBtn()->addAction(UIControlEventTouchUpInside, [weakSelf](UIControl&) {
            if (auto self = weakSelf.lock())
                self->presentLogin();
        });
        cell->settingBtn()->removeActions(UIControlEventTouchUpInside);
        cell->settingBtn()->addAction(UIControlEventTouchUpInside, [weakSelf](UIControl&) {
            if (auto self = weakSelf.lock())
                self->select(PersonalCenterRowType::setting);
        });
        return cell;
    }
    case PersonalCenterRowType::advert: {
        auto cell = dequeueCell<ZV_AdvertCollCell>(view, indexPath);
        cell->setModel(userIndexAdvert());
        return cell;
    }
    case PersonalCenterRowType::collect:
    case PersonalCenterRowType::record:
    case PersonalCenterRowType::download: {
        auto cell = dequeueCell<ZV_PersonalCenterItemCell>(view, indexPath);
        cell->setRowType(*row);
        return cell;
    }
    default: {
        auto cell = dequeueCell<ZV_PersonalCenterCollCell>(view, indexPath);
        cell->setRowType(*row);
        return cell;
    }
    }
}

std::optional<CGSize> ZV_PersonalCenterVC::sizeForItem(
    UICollectionView&, UICollectionViewLayout&, const IndexPath& indexPath)
{
    std::optional<PersonalCenterRowType> row = rowAt(indexPath);
    if (!row)
        return CGSize { 0, 0 };
    CGFloat width = screenWidth();
    switch (*row) {
    case PersonalCenterRowType::advert:
        return CGSize { width - 48, (width - 48) * 122 / 342 };
    case PersonalCenterRowType::user:
        return CGSize { width - 72, 68 };
    case PersonalCenterRowType::collect:
    case PersonalCenterRowType::record:
    case PersonalCenterRowType::download:
        return CGSize { 96, 84 };
    default:
        return CGSize { width - 48, 58 };
    }
}

std::optional<UIEdgeInsets> ZV_PersonalCenterVC::insetForSection(
    UICollectionView&, UICollectionViewLayout&, int section)
{
    if (section == 0)
        return UIEdgeInsets { 0, 36, 32, 36 };
    if (section == 1)
        return UIEdgeInsets { 0, 37, 32, 37 };
    // Only index 2 may hold the advert; the menu after it closes up to the list's end.
    std::optional<ZV_AdvertModel> advert = userIndexAdvert();
    bool advertShown = advert && !advert->data.image.empty();
    return UIEdgeInsets { 0, 24, section == 2 && advertShown ? CGFloat(10) : CGFloat(0), 24 };
}

std::optional<CGFloat> ZV_PersonalCenterVC::minimumLineSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 8;
}

std::optional<CGFloat> ZV_PersonalCenterVC::minimumInteritemSpacingForSection(
    UICollectionView&, UICollectionViewLayout&, int)
{
    return 6;
}

void ZV_PersonalCenterVC::didSelectItem(UICollectionView&, const IndexPath& indexPath)
{
    if (std::optional<PersonalCenterRowType> row = rowAt(indexPath))
        select(*row);
}

void ZV_PersonalCenterVC::push(std::shared_ptr<UIViewController> page)
{
    if (std::shared_ptr<UINavigationController> navigation = navigationController())
        navigation->pushViewController(std::move(page), true);
}

void ZV_PersonalCenterVC::select(PersonalCenterRowType type)
{
    switch (type) {
    case PersonalCenterRowType::advert:
        ZV_AdvertView::openLink(*this, &ZV_AdvertConfigModel::user_index);
        return;
    case PersonalCenterRowType::user: {
        if (!isLoggedIn()) {
            presentLogin();
            return;
        }
        auto page = std::make_shared<ZV_PersonalDataVC>();
        page->setModel(m_model);
        push(page);
        return;
    }
    case PersonalCenterRowType::collect:
        push(std::make_shared<ZV_CollectVC>());
        return;
    case PersonalCenterRowType::record:
        push(std::make_shared<ZV_PlaybackVC>());
        return;
    case PersonalCenterRowType::download:
        push(std::make_shared<ZV_DownloadVC>());
        return;
    case PersonalCenterRowType::message:
        push(std::make_shared<ZV_MessageVC>());
        return;
    case PersonalCenterRowType::setting:
        push(std::make_shared<ZV_SettingVC>());
        return;
    case PersonalCenterRowType::contact:
    case PersonalCenterRowType::about:
        push(std::make_shared<ZV_AboutVC>());
        return;
    case PersonalCenterRowType::feedback: {
        if (!isLoggedIn()) {
            presentLogin();
            return;
        }
        std::make_shared<ZV_ShowBottomView>()->show(4, nullptr, nullptr);
        return;
    }
    case PersonalCenterRowType::share: {
        const auto& config = ConfigSingleton::shared().zv_configData;
        if (!config)
            return;
        UIPasteboard::general().setString(config->share_link);
        QMUITips::showWithText("已复制分享链接");
        return;
    }
    case PersonalCenterRowType::help:
        push(std::make_shared<ZV_HelpVC>());
        return;
    }
}
