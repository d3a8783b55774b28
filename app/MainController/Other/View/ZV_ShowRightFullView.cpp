#include "app/MainController/Other/View/ZV_ShowRightFullView.h"

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/View/ZV_MultipleContentFullView.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentFullView.h"
#include "app/MainController/Detail/View/ZV_SettingContentFullView.h"
#include "app/MainController/Detail/View/ZV_SourceContentFullView.h"
#include "app/MainController/Other/View/PresenterRelays.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"

ZV_ShowRightFullView::ZV_ShowRightFullView() = default;

void ZV_ShowRightFullView::viewDidLoad()
{
    QMUIModalPresentationViewController::viewDidLoad();
    animationStyle = QMUIModalPresentationAnimationStyle::fade;
}

void ZV_ShowRightFullView::show(
    int type, std::shared_ptr<ZV_DetailModel> model, std::shared_ptr<SJVideoPlayer> player)
{
    std::weak_ptr<UIViewController> weak = weakFromThis();
    CGFloat height = screenShortSide();
    switch (type) {
    case 0: {
        // The rows come from the title's sources: a title without that list counts as none.
        if (!model || !model->playFrom)
            return;
        auto panel = ZV_SourceContentFullView::make(CGRect { 0, 0, sourceWidth, height });
        panel->list = *model->playFrom;
        panel->reloadRows();
        install(panel, sourceWidth);
        panel->clickSource = presenterrelays::hideThenRelay(weak, &ZV_ShowRightFullView::clickSource);
        break;
    }
    case 1: {
        if (!model || !model->playFrom)
            return;
        auto panel = ZV_SelectEpisodeContentFullView::make(CGRect { 0, 0, episodeWidth, height });
        panel->episodeId = episodeId;
        panel->model = model;
        panel->reloadCurrentSource();
        install(panel, episodeWidth);
        panel->clickIndexWithEpisodeId
            = presenterrelays::hideThenRelay(weak, &ZV_ShowRightFullView::clickIndexWithEpisodeId);
        break;
    }
    case 2: {
        if (!model || !player)
            return;
        auto panel = ZV_SettingContentFullView::make(CGRect { 0, 0, settingsWidth, height });
        panel->model = model;
        panel->player = player;
        panel->loadPlayerValues();
        panel->reloadSkipTimes();
        install(panel, settingsWidth);
        // The panel reports a stored setting; it stays open.
        panel->clickClose = presenterrelays::relayOnly(weak, &ZV_ShowRightFullView::clickClose);
        break;
    }
    case 3: {
        if (!player)
            return;
        auto panel = ZV_MultipleContentFullView::make(CGRect { 0, 0, rateWidth, height });
        panel->player = player;
        panel->buildRows();
        install(panel, rateWidth);
        panel->clickSelect = presenterrelays::hideThenRelay(weak, &ZV_ShowRightFullView::clickMultiple);
        break;
    }
    default:
        return;
    }
    showWithAnimated(true);
}

void ZV_ShowRightFullView::showOfflineEpisodes(
    std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>> list)
{
    auto panel = ZV_SelectEpisodeContentFullView::make(CGRect { 0, 0, episodeWidth, screenShortSide() });
    panel->episodeId = episodeId;
    panel->list = list;
    panel->reloadData(std::move(list));
    install(panel, episodeWidth);
    panel->clickIndexWithEpisodeId
        = presenterrelays::hideThenRelay(weakFromThis(), &ZV_ShowRightFullView::clickIndexWithEpisodeId);
    showWithAnimated(true);
}

void ZV_ShowRightFullView::install(const std::shared_ptr<UIView>& panel, CGFloat width)
{
    setContentView(panel);
    std::weak_ptr<UIView> weakPanel = panel;
    // Always laid out for the landscape screen, its right edge at the end of the long side.
    layoutBlock = [weakPanel, width](CGRect, CGFloat, CGRect) {
        if (auto content = weakPanel.lock())
            qmui_setFrameApplyTransform(*content, { screenLongSide() - width, 0, width, screenShortSide() });
    };
}
