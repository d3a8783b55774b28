#include "app/MainController/Explore/Controller/ZV_ExploreVC.h"

#include "app/Core/Helpers/SessionHelpers.h"
#include "app/Core/Network/BaseURLs.h"
#include "app/Core/Network/ZV_Network.h"
#include "app/Extensions/LayoutConstants.h"
#include "app/MainController/Explore/Model/ZV_MovieExploreModel.h"
#include "app/MainController/Explore/View/ZV_ExploreView.h"
#include "app/MainController/Root/ZVRootViewController.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/ui/UIImageView.h"
#include "platform/ui/UINavigationController.h"
#include "platform/ui/UIWindow.h"
#include "platform/ui/layout/ConstraintMaker.h"
#include "platform/ui/qmui/QMUIHelper.h"

namespace {

constexpr const char* kBackgroundName = "explore_bg";

std::shared_ptr<UIButton> makeRoundButton(const std::string& imageName)
{
    auto button = std::make_shared<UIButton>();
    button->setImage(UIImage::named(imageName));
    return button;
}

}

ZV_ExploreVC::ZV_ExploreVC() = default;

const std::shared_ptr<ZLSwipeableView>& ZV_ExploreVC::zv_swipeableView()
{
    if (!m_swipeableView) {
        m_swipeableView = std::make_shared<ZLSwipeableView>();
        m_swipeableView->numberOfActiveView = activeCards;
    }
    return m_swipeableView;
}

const std::shared_ptr<UIStackView>& ZV_ExploreVC::zv_stackView()
{
    if (!m_stackView) {
        m_stackView = std::make_shared<UIStackView>();
        m_stackView->setAxis(UILayoutConstraintAxis::horizontal);
        m_stackView->setAlignment(UIStackViewAlignment::fill);
        m_stackView->setDistribution(UIStackViewDistribution::equalSpacing);
        m_stackView->setSpacing(32);
    }
    return m_stackView;
}

const std::shared_ptr<UIButton>& ZV_ExploreVC::zv_closeBtn()
{
    if (!m_closeBtn) {
        m_closeBtn = makeRoundButton("explore_close");
        std::weak_ptr<UIViewController> weak = weakFromThis();
        m_closeBtn->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
            if (auto self = std::static_pointer_cast<ZV_ExploreVC>(weak.lock()))
                self->zv_swipeableView()->swipeTopView(ZLSwipeableViewDirection::left);
        });
    }
    return m_closeBtn;
}

const std::shared_ptr<UIButton>& ZV_ExploreVC::zv_collectBtn()
{
    if (!m_collectBtn) {
        m_collectBtn = makeRoundButton("explore_collect");
        std::weak_ptr<UIViewController> weak = weakFromThis();
        m_collectBtn->addAction(UIControlEventTouchUpInside, [weak](UIControl&) {
            auto self = std::static_pointer_cast<ZV_ExploreVC>(weak.lock());
            if (!self)
                return;
            // Only the button asks for a sign-in; a hand swipe goes through either way.
            if (isLoggedIn())
                self->zv_swipeableView()->swipeTopView(ZLSwipeableViewDirection::right);
            else
                self->presentLogin();
        });
    }
    return m_collectBtn;
}

void ZV_ExploreVC::viewDidLoad()
{
    BaseViewController::viewDidLoad();
    const std::shared_ptr<UIView>& root = view();
    root->setBackgroundColor(UIColor::clear());

    bool pad = QMUIHelper::isIPad();
    root->addSubview(zv_swipeableView());
    snp(zv_swipeableView()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalToSuperview();
        make.left().right().equalToSuperview().inset(cardInset(pad));
        make.height().equalTo(cardHeight(screenWidth(), pad));
    });
    root->addSubview(zv_stackView());
    snp(zv_stackView()).makeConstraints([&](ConstraintMaker& make) {
        make.top().equalTo(snp(zv_swipeableView()).bottom()).offset(25).priority(500);
        make.bottom().lessThanOrEqualToSuperview();
        make.centerX().equalToSuperview();
    });
    for (const auto& button : { zv_closeBtn(), zv_collectBtn() }) {
        zv_stackView()->addArrangedSubview(button);
        snp(button).makeConstraints([](ConstraintMaker& make) { make.size().equalTo(CGSize { 72, 72 }); });
    }
    requestBatch();
}

void ZV_ExploreVC::requestBatch()
{
    std::weak_ptr<UIViewController> weak = weakFromThis();
    ZV_Network::shared().request(HTTPMethod::GET, BaseURLs::main_url(), "v1/movie/explore/list",
        JSON::object(), [weak](std::optional<JSON> json, std::optional<NSError>) {
            auto self = std::static_pointer_cast<ZV_ExploreVC>(weak.lock());
            if (self && json)
                self->batchArrived(*json);
        });
}

void ZV_ExploreVC::batchArrived(const JSON& json)
{
    std::vector<std::shared_ptr<const ZV_MovieExploreModel>> batch;
    for (const JSON& item : json["list"].arrayValue())
        batch.push_back(std::make_shared<const ZV_MovieExploreModel>(item));
    zv_modelList = std::move(batch);

    // Cards take the stack's size when dealt: the stack must have its own by then.
    if (auto window = view()->window())
        window->layoutIfNeeded();
    std::weak_ptr<UIViewController> weak = weakFromThis();
    ZLSwipeableView& stack = *zv_swipeableView();
    stack.nextView = [weak]() -> std::shared_ptr<UIView> {
        auto self = std::static_pointer_cast<ZV_ExploreVC>(weak.lock());
        return self ? self->loadData() : nullptr;
    };
    stack.loadViews();
}

std::shared_ptr<UIView> ZV_ExploreVC::loadData()
{
    int count = static_cast<int>(zv_modelList.size());
    if (index >= count) {
        requestBatch();
        index = 0;
    }
    auto card = ZV_ExploreView::make(zv_swipeableView()->bounds());
    if (index < count)
        card->setModel(zv_modelList[index]);
    ++index;
    return card;
}

void ZV_ExploreVC::viewDidAppear(bool animated)
{
    BaseViewController::viewDidAppear(animated);
    showRootBackground(kBackgroundName);
}

void ZV_ExploreVC::viewWillDisappear(bool animated)
{
    BaseViewController::viewWillDisappear(animated);
    hideRootBackground();
    std::weak_ptr<UIViewController> weak = weakFromThis();
    DispatchQueue::main().asyncAfter(DispatchTime::now() + backgroundHideRepeatDelay, [weak] {
        auto self = weak.lock();
        // Back on screen meanwhile, it shows the picture again by right.
        if (!self || self->isAppearing())
            return;
        auto navigation = self->navigationController();
        if (!navigation)
            return;
        for (const auto& controller : navigation->viewControllers()) {
            auto root = std::dynamic_pointer_cast<ZVRootViewController>(controller);
            if (!root)
                continue;
            // The page that came next may have put up its own picture: that one stays.
            const std::shared_ptr<UIImageView>& background = root->imageBgView();
            if (background->image() == UIImage::named(kBackgroundName))
                background->setHidden(true);
            return;
        }
    });
}
