#include "app/MainController/Other/View/ZV_ShowBottomView.h"

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Detail/View/ZV_DetailsContentView.h"
#include "app/MainController/Detail/View/ZV_SelectEpisodeContentView.h"
#include "app/MainController/Detail/View/ZV_SettingContentView.h"
#include "app/MainController/Detail/View/ZV_SourceContentView.h"
#include "app/MainController/Other/View/PresenterRelays.h"
#include "app/MainController/Search/View/ZV_SearchFeedbackAlertView.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/ui/qmui/QMUIButton.h"
#include "platform/ui/qmui/QMUIHelper.h"
#include "platform/ui/qmui/QMUIKitExtensions.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr CGFloat sourceRowHeight = 62;
constexpr CGFloat sourceChromeHeight = 136;
constexpr CGFloat settingsHeight = 435;
constexpr CGFloat feedbackHeight = 500;
constexpr CGFloat mushinHeight = 300;

void onTap(QMUIButton& button, std::function<void()> action)
{
    button.addAction(UIControlEventTouchUpInside, [action = std::move(action)](UIControl&) { action(); });
}

ZV_ShowBottomView::MutePickerFactory& mutePickerFactory()
{
    static ZV_ShowBottomView::MutePickerFactory factory;
    return factory;
}

}

ZV_ShowBottomView::ZV_ShowBottomView() = default;

void ZV_ShowBottomView::setMutePickerFactory(MutePickerFactory factory)
{
    mutePickerFactory() = std::move(factory);
}

void ZV_ShowBottomView::viewDidLoad()
{
    QMUIModalPresentationViewController::viewDidLoad();
    animationStyle = QMUIModalPresentationAnimationStyle::slide;
}

CGFloat ZV_ShowBottomView::panelWidth() const
{
    return std::trunc(screenShortSide());
}

CGFloat ZV_ShowBottomView::fullHeight() const
{
    // A player edge below the screen would leave no room at all, not a negative one.
    return std::max<CGFloat>(0, std::trunc(screenLongSide() - bottom));
}

void ZV_ShowBottomView::show(
    int type, std::shared_ptr<ZV_DetailModel> model, std::shared_ptr<SJVideoPlayer> player)
{
    // The panels that list sources or episodes read them from the title: a title without its
    // list of sources counts as no title.
    bool hasSources = model && model->playFrom;
    CGFloat width = panelWidth();
    std::weak_ptr<UIViewController> weak = weakFromThis();
    auto hide = presenterrelays::hide<ZV_ShowBottomView>(weak);
    auto chooseSource = presenterrelays::hideThenRelay(weak, &ZV_ShowBottomView::clickSource);
    auto chooseEpisode = presenterrelays::hideThenRelay(weak, &ZV_ShowBottomView::clickIndexWithEpisodeId);
    // The source name on an episode panel asks the owner for the source list.
    auto askForSources = [chooseSource] { chooseSource(""); };

    switch (type) {
    case 0: {
        if (!model)
            return;
        CGSize size { width, fullHeight() };
        auto panel = ZV_DetailsContentView::make();
        panel->model = model;
        panel->reloadData();
        install(panel, size, Placement::bottomEdge);
        onTap(*panel->closeBtn(), hide);
        break;
    }
    case 1: {
        if (!hasSources)
            return;
        auto count = static_cast<CGFloat>(model->playFrom->size());
        CGSize size { width, sourceRowHeight * count + sourceChromeHeight };
        auto panel = ZV_SourceContentView::make(CGRect { { 0, 0 }, size });
        panel->list = *model->playFrom;
        panel->reloadRows();
        install(panel, size, Placement::bottomEdge);
        onTap(*panel->closeBtn(), hide);
        panel->clickSource = chooseSource;
        break;
    }
    case 2: {
        if (!model || !player)
            return;
        CGSize size { width, settingsHeight };
        auto panel = ZV_SettingContentView::make(CGRect { { 0, 0 }, size });
        panel->model = model;
        panel->player = player;
        panel->loadPlayerValues();
        panel->reloadSkipTimes();
        install(panel, size, Placement::aboveKeyboard);
        onTap(*panel->closeBtn(), hide);
        // The panel reports a stored setting; the sheet stays open.
        panel->clickClose = presenterrelays::relayOnly(weak, &ZV_ShowBottomView::clickClose);
        break;
    }
    case 3:
    case 5: {
        if (!hasSources)
            return;
        CGSize size { width, fullHeight() };
        auto panel = ZV_SelectEpisodeContentView::make(CGRect { { 0, 0 }, size });
        panel->isDownload = type == 5;
        panel->episodeId = episodeId;
        panel->setModel(model);
        install(panel, size, Placement::bottomEdge);
        onTap(*panel->closeBtn(), hide);
        onTap(*panel->sourceName(), askForSources);
        // The download variant handles an episode choice itself.
        if (type == 3)
            panel->clickIndexWithEpisodeId = chooseEpisode;
        break;
    }
    case 4: {
        CGSize size { width, feedbackHeight };
        auto panel = ZV_SearchFeedbackAlertView::create(CGRect { { 0, 0 }, size });
        install(panel, size, Placement::aboveKeyboard);
        panel->closeBlock = hide;
        break;
    }
    case 6: {
        const MutePickerFactory& factory = mutePickerFactory();
        if (!factory)
            return;
        CGSize size { width, mushinHeight };
        auto panel = factory(CGRect { { 0, 0 }, size }, timeBlock, hide);
        if (!panel)
            return;
        install(panel, size, Placement::aboveKeyboard);
        break;
    }
    default:
        return;
    }
    showWithAnimated(true);
}

void ZV_ShowBottomView::showOfflineEpisodes(
    std::vector<std::shared_ptr<ZV_DetailDataListPlayFromListModel>> list)
{
    CGSize size { panelWidth(), fullHeight() };
    auto panel = ZV_SelectEpisodeContentView::make(CGRect { { 0, 0 }, size });
    panel->sourceName()->setHidden(true);
    panel->list = std::move(list);
    panel->episodeId = episodeId;
    panel->reloadSegments();
    install(panel, size, Placement::bottomEdge);

    std::weak_ptr<UIViewController> weak = weakFromThis();
    auto chooseSource = presenterrelays::hideThenRelay(weak, &ZV_ShowBottomView::clickSource);
    onTap(*panel->closeBtn(), presenterrelays::hide<ZV_ShowBottomView>(weak));
    onTap(*panel->sourceName(), [chooseSource] { chooseSource(""); });
    panel->clickIndexWithEpisodeId
        = presenterrelays::hideThenRelay(weak, &ZV_ShowBottomView::clickIndexWithEpisodeId);
    showWithAnimated(true);
}

void ZV_ShowBottomView::install(const std::shared_ptr<UIView>& panel, CGSize size, Placement placement)
{
    setContentView(panel);
    std::weak_ptr<UIView> weakPanel = panel;
    layoutBlock = [weakPanel, size, placement](CGRect container, CGFloat keyboardHeight, CGRect) {
        auto content = weakPanel.lock();
        if (!content)
            return;
        CGFloat lift = placement == Placement::aboveKeyboard ? keyboardHeight : 0;
        CGFloat y = QMUIHelper::flat(container.height() - size.height - lift);
        qmui_setFrameApplyTransform(*content, { 0, y, size.width, size.height });
    };
}
