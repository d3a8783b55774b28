#include "tools/kitdemo/KitDemoTitlePlayerScreen.h"

#include "app/Core/Models/ZV_DetailModel.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/MainController/Detail/View/ZV_Player.h"
#include "app/MainController/Other/View/ZV_ShowBottomView.h"
#include "app/MainController/Other/View/ZV_ShowRightFullView.h"
#include "platform/media/SJEdgeControlButtonItem.h"
#include "platform/media/SJVideoPlayer.h"
#include "platform/ui/UILabel.h"
#include "platform/ui/controls/UIButton.h"
#include "tools/kitdemo/KitDemoColors.h"

KitDemoTitlePlayerScreen::KitDemoTitlePlayerScreen()
    : KitDemoScreen("影片播放")
{ }

KitDemoTitlePlayerScreen::~KitDemoTitlePlayerScreen() = default;

void KitDemoTitlePlayerScreen::buildContent()
{
    std::weak_ptr<UIViewController> weakSelf = sharedFromThis();
    auto self = [weakSelf] { return std::static_pointer_cast<KitDemoTitlePlayerScreen>(weakSelf.lock()); };

    m_player = std::make_shared<ZV_Player>();
    view()->addSubview(m_player);
    m_player->setupUI();
    m_player->clickIndexWithEpisodeId = [self](const std::string&) {
        if (auto screen = self())
            screen->showState();
    };
    // What a title page does with the episodes item; the source item stays without an action
    // here (the sample title has one source).
    m_player->zv_selectItem()->addAction(
        SJEdgeControlButtonItemAction::actionWithHandler([self](SJEdgeControlButtonItemAction&) {
            if (auto screen = self())
                screen->showEpisodes();
        }));

    m_state = std::make_shared<UILabel>();
    m_state->setFont(UIFont::systemFont(15, UIFont::Weight::medium));
    m_state->setTextColor(kitdemo::ink());
    m_state->setTextAlignment(NSTextAlignment::center);
    m_state->setAccessibilityIdentifier("kitdemo.title.state");
    m_state->setText("加载影片…");
    view()->addSubview(m_state);

    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/advert/config", JSON::object(),
        [](std::optional<JSON> json, std::optional<NSError>) { ZV_Network::storeAdvertConfig(json, {}); });
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/movie/detail",
        JSON::object({ { "id", titleId } }), [self](std::optional<JSON> json, std::optional<NSError> error) {
            auto screen = self();
            if (!screen)
                return;
            if (!json) {
                screen->m_state->setText("影片加载失败：" + (error ? error->domain : std::string()));
                return;
            }
            screen->titleDidLoad(std::make_shared<ZV_DetailModel>(*json));
        });
}

void KitDemoTitlePlayerScreen::titleDidLoad(std::shared_ptr<ZV_DetailModel> model)
{
    m_player->model = model;
    std::weak_ptr<UIViewController> weakSelf = sharedFromThis();
    std::optional<std::string> first;
    int number = 0;
    for (const auto& source : model->playFrom ? *model->playFrom : decltype(model->playFrom)::value_type {}) {
        if (!source || !source->list || source->list->empty())
            continue;
        for (const auto& episode : *source->list) {
            std::string id = episode->episodeId.value_or("");
            if (!first)
                first = id;
            auto button = makeKitDemoButton(
                episode->episodeName.value_or(id), "kitdemo.title.ep" + std::to_string(++number));
            button->setContentEdgeInsets({ 8, 8, 8, 8 });
            button->addAction(UIControlEventTouchUpInside, [weakSelf, id](UIControl&) {
                if (auto screen = std::static_pointer_cast<KitDemoTitlePlayerScreen>(weakSelf.lock()))
                    screen->play(id);
            });
            view()->addSubview(button);
            m_episodes.push_back(button);
        }
        break;
    }
    view()->setNeedsLayout();
    if (first)
        play(*first);
}

void KitDemoTitlePlayerScreen::play(const std::string& episodeId)
{
    m_player->episodeId = episodeId;
    m_player->playEpisode();
    showState();
}

void KitDemoTitlePlayerScreen::showEpisodes()
{
    std::weak_ptr<UIViewController> weakSelf = sharedFromThis();
    auto choose = [weakSelf](const std::string& id) {
        if (auto screen = std::static_pointer_cast<KitDemoTitlePlayerScreen>(weakSelf.lock()))
            screen->play(id);
    };
    if (m_player->player()->isFullscreen()) {
        auto panel = std::make_shared<ZV_ShowRightFullView>();
        panel->episodeId = m_player->episodeId.value_or("");
        panel->clickIndexWithEpisodeId = choose;
        panel->show(1, m_player->model, nullptr);
    } else {
        auto panel = std::make_shared<ZV_ShowBottomView>();
        panel->episodeId = m_player->episodeId.value_or("");
        panel->bottom = m_player->frame().maxY();
        panel->clickIndexWithEpisodeId = choose;
        panel->show(3, m_player->model, nullptr);
    }
}

void KitDemoTitlePlayerScreen::showState()
{
    std::string name = m_player->model ? m_player->model->name.value_or("") : std::string();
    m_state->setText(name + " · " + m_player->episodeName.value_or(""));
}

void KitDemoTitlePlayerScreen::layoutContent(const CGRect& area)
{
    CGFloat width = area.width();
    CGFloat height = width * 9 / 16;
    m_player->setFrame({ 0, area.minY(), width, height });
    m_state->setFrame({ 16, area.minY() + height + 16, width - 32, 24 });
    CGFloat buttonWidth = (width - 16 * 5) / 4;
    for (std::size_t i = 0; i < m_episodes.size(); ++i) {
        CGFloat x = 16 + static_cast<CGFloat>(i % 4) * (buttonWidth + 16);
        CGFloat y = area.minY() + height + 56 + static_cast<CGFloat>(i / 4) * 56;
        m_episodes[i]->setFrame({ x, y, buttonWidth, 40 });
    }
}
