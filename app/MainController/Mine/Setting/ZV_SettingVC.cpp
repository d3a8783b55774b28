#include "app/MainController/Mine/Setting/ZV_SettingVC.h"

#include "app/Core/Config/ConfigSingleton.h"
#include "app/Core/Helpers/ColorHex.h"
#include "app/Core/Helpers/SessionHelpers.h"
#include "app/Core/Storage/StoreData.h"
#include "app/Extensions/CellRegistration.h"
#include "app/MainController/Chat/Store/ZV_MessageASModel.h"
#include "app/MainController/Mine/Setting/ZV_SettingCell.h"
#include "app/MainController/Other/Tool/NotificationTool.h"
#include "app/Theme/ZVAdaptiveColor.h"
#include "app/Theme/ZVAdaptivePalette.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/media/SJMediaCacheServer.h"
#include "platform/ui/QMUITips.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/controls/UIStackView.h"
#include "platform/ui/controls/UISwitch.h"
#include "platform/ui/imageloading/ImageLoader.h"
#include "platform/ui/layout/ConstraintMaker.h"

#include <cstdio>

namespace {

void teenModeChanged(UISwitch& sender)
{
    StoreData::set(PropertyList(sender.isOn()), StoreData::pureMode);
    NotificationCenter::defaultCenter().post(
        std::string(NotificationTool::rawValue(NotificationTool::Notification::pureMode)));
}

}

const std::shared_ptr<UITableView>& ZV_SettingVC::tableView()
{
    if (!m_tableView) {
        m_tableView = std::make_shared<UITableView>(CGRect {}, UITableViewStyle::plain);
        auto self = std::static_pointer_cast<ZV_SettingVC>(sharedFromThis());
        m_tableView->setDelegate(std::weak_ptr<UITableViewDelegate>(self));
        m_tableView->setDataSource(std::weak_ptr<UITableViewDataSource>(self));
        m_tableView->setEstimatedRowHeight(0);
        m_tableView->setEstimatedSectionHeaderHeight(0);
        m_tableView->setEstimatedSectionFooterHeight(0);
        m_tableView->setSeparatorStyle(UITableViewCellSeparatorStyle::none);
        m_tableView->setKeyboardDismissMode(UIScrollViewKeyboardDismissMode::onDrag);
        m_tableView->setBackgroundColor(zvadaptive::pageColor(UIColor::white()));
        m_tableView->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::never);
        registerCell<ZV_SettingCell>(*m_tableView);
        m_tableView->setAccessibilityIdentifier("setting.list");
    }
    return m_tableView;
}

void ZV_SettingVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    setupUI();
    setupList();
}

void ZV_SettingVC::setupUI()
{
    navigationItem().setTitle("设置");
    view()->addSubview(tableView());
    snp(tableView()).makeConstraints([this](ConstraintMaker& make) {
        make.top().equalTo(snp(view()).safeAreaLayoutGuide().top());
        make.left().right().bottom().equalToSuperview();
    });
}

void ZV_SettingVC::setupList()
{
    m_list = { ZV_SettingType::young, ZV_SettingType::clean };
    if (isLoggedIn())
        m_list.push_back(ZV_SettingType::exit);
    tableView()->reloadData();
}

std::string ZV_SettingVC::cacheSizeText(std::uint64_t bytes)
{
    double megabytes = static_cast<double>(bytes) / 1024 / 1024;
    char text[64];
    std::snprintf(text, sizeof text, "%.1fM", megabytes);
    return text;
}

std::shared_ptr<UITableViewCell> ZV_SettingVC::cellForRow(UITableView& table, const IndexPath& indexPath)
{
    auto cell = dequeueCell<ZV_SettingCell>(table, indexPath);
    cell->titleLb()->setTextColor(zvadaptive::textColor(colorWithHex("1D1942")));
    cell->tipLb()->setHidden(true);
    cell->desLb()->setHidden(true);
    cell->switchView()->setHidden(true);
    if (indexPath.row() < 0 || indexPath.row() >= static_cast<int>(m_list.size()))
        return cell;
    switch (m_list[static_cast<std::size_t>(indexPath.row())]) {
    case ZV_SettingType::young:
        cell->titleLb()->setText("青少年模式");
        cell->tipLb()->setText("开启后不再展示R18内容");
        cell->tipLb()->setHidden(false);
        cell->switchView()->setHidden(false);
        cell->switchView()->setOn(StoreData::boolValue(StoreData::pureMode));
        cell->switchView()->setAccessibilityIdentifier("setting.young");
        // Teen mode only: the switch must not change the dark style as well.
        cell->setSwitchHandler(&teenModeChanged);
        break;
    case ZV_SettingType::clean:
        cell->titleLb()->setText("清除缓存");
        cell->desLb()->setText(cacheSizeText(ImageLoader::shared().diskCacheSize()));
        cell->desLb()->setHidden(false);
        break;
    case ZV_SettingType::exit:
        cell->titleLb()->setText("退出登录");
        cell->titleLb()->setTextColor(colorWithHex("#EF5252"));
        break;
    }
    // A reused cell's stack measured another title and tip.
    cell->stackView()->invalidateIntrinsicContentSize();
    return cell;
}

void ZV_SettingVC::didSelectRow(UITableView& table, const IndexPath& indexPath)
{
    table.deselectRow(indexPath, true);
    if (indexPath.row() < 0 || indexPath.row() >= static_cast<int>(m_list.size()))
        return;
    switch (m_list[static_cast<std::size_t>(indexPath.row())]) {
    case ZV_SettingType::young:
        return;
    case ZV_SettingType::clean:
        clearCache();
        return;
    case ZV_SettingType::exit: {
        StoreData::set(std::nullopt, StoreData::access_token);
        ConfigSingleton::shared().zv_userInfoModel.reset();
        NotificationCenter::defaultCenter().post(
            std::string(NotificationTool::rawValue(NotificationTool::Notification::logoutSuccess)));
        if (std::shared_ptr<UINavigationController> navigation = navigationController())
            navigation->popViewController(true);
        return;
    }
    }
}

void ZV_SettingVC::clearCache()
{
    if (ASResult<std::int64_t> removed = ZV_MessageASModel::deleteAll(); !removed)
        Log::write("清除聊天记录失败: " + removed.error());
    ImageLoader::shared().clearDisk();
    ImageLoader::shared().clearMemory();
    SJMediaCacheServer::shared().removeAllRemovableCaches();
    QMUITips::showSucceed("清除成功!");
    tableView()->reloadData();
}
