#pragma once

#include "platform/json/JSON.h"
#include "platform/ui/qmui/QMUIModalPresentationViewController.h"

#include <memory>

// The prompt that offers a newer version of the application: a modal card over the dimmed
// screen. Only its close button (or the escape gesture) hides it (a tap on the dimming does
// nothing, and there is no forced update); "立即升级" opens the download link outside the application and
// leaves the prompt up. The update object's keys: "title", "intro" (the release notes), "url"; missing ones
// read as empty text.
class ZV_UpdateAPPView : public QMUIModalPresentationViewController {
public:
    ZV_UpdateAPPView() = default;

    std::string className() const override { return "ZV_UpdateAPPView"; }

    // Height of the whole content for the update object: the base height plus the notes'.
    static CGFloat contentHeight(const JSON& model);

    // Builds the card for the update object and shows it, animated. While visible the prompt is
    // kept by its window: the caller need not keep it.
    void show(const JSON& model);
    // As every controller, it also shows another one the way the context suggests.
    using QMUIModalPresentationViewController::show;
    // Hands the object's "url" to the system when it makes a URL; anything else does nothing.
    static void openUpdateURL(const JSON& model);
    // Escape closes the prompt as its close button does.
    bool accessibilityPerformEscape() override;
};
