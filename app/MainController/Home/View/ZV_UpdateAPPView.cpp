#include "app/MainController/Home/View/ZV_UpdateAPPView.h"

#include "app/Extensions/ParsableURL.h"
#include "app/MainController/Home/View/ZV_UpdateAPPContentView.h"
#include "platform/ui/UIApplication.h"

CGFloat ZV_UpdateAPPView::contentHeight(const JSON& model)
{
    return ZV_UpdateAPPContentView::contentBaseHeight + ZV_UpdateAPPContentView::notesHeight(model);
}

void ZV_UpdateAPPView::show(const JSON& model)
{
    setModal(true);
    auto content
        = ZV_UpdateAPPContentView::make({ 0, 0, ZV_UpdateAPPContentView::width, contentHeight(model) });
    content->setModel(model);

    std::weak_ptr<UIViewController> weakSelf = weakFromThis();
    content->closeBtn()->addAction(UIControlEventTouchUpInside, [weakSelf](UIControl&) {
        if (auto self = std::static_pointer_cast<ZV_UpdateAPPView>(weakSelf.lock()))
            self->hideWithAnimated(true);
    });
    content->updateBtn()->addAction(
        UIControlEventTouchUpInside, [model](UIControl&) { openUpdateURL(model); });
    setContentView(content);
    showWithAnimated(true);
}

void ZV_UpdateAPPView::openUpdateURL(const JSON& model)
{
    std::string url = model["url"].stringValue();
    if (!parsesAsURL(url))
        return;
    UIApplication::shared().openURL(url);
}

bool ZV_UpdateAPPView::accessibilityPerformEscape()
{
    // Modal against stray taps on the dimming, not against a person who wants it gone.
    if (!isVisible())
        return false;
    hideWithAnimated(true);
    return true;
}
