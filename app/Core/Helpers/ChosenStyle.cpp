#include "app/Core/Helpers/ChosenStyle.h"

#include "app/Core/Storage/StoreData.h"
#include "platform/foundation/NoDestructor.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIWindow.h"

#include <algorithm>
#include <vector>

namespace {

// The holds alive, oldest first; each takes itself out as it goes. Never destroyed: a page that
// goes late in a program's exit still finds the list to leave.
std::vector<const ChosenStyle::Hold*>& liveHolds()
{
    static NoDestructor<std::vector<const ChosenStyle::Hold*>> holds;
    return *holds;
}

// What the window shows: the newest hold on it wins, as the page shown last is the one in front.
UIUserInterfaceStyle styleFor(const UIWindow& window, UIUserInterfaceStyle chosen)
{
    const auto& holds = liveHolds();
    for (auto it = holds.rbegin(); it != holds.rend(); ++it) {
        if ((*it)->window().lock().get() == &window)
            return (*it)->style();
    }
    return chosen;
}

}

UIUserInterfaceStyle ChosenStyle::chosen()
{
    return StoreData::boolValue(StoreData::isDarkColor) ? UIUserInterfaceStyle::dark : UIUserInterfaceStyle::light;
}

void ChosenStyle::choose(bool dark)
{
    StoreData::set(PropertyList(dark), StoreData::isDarkColor);
    UIUserInterfaceStyle style = dark ? UIUserInterfaceStyle::dark : UIUserInterfaceStyle::light;
    // The key window may be another than the app's own (the player's full screen): every window
    // takes the choice, so that the app's own is in it on the way back.
    for (const auto& window : UIApplication::shared().windows())
        window->setOverrideUserInterfaceStyle(styleFor(*window, style));
}

UIUserInterfaceStyle ChosenStyle::swap()
{
    choose(chosen() != UIUserInterfaceStyle::dark);
    return chosen();
}

void ChosenStyle::show(UIWindow& window)
{
    window.setOverrideUserInterfaceStyle(styleFor(window, chosen()));
}

ChosenStyle::Hold::Hold(std::weak_ptr<UIWindow> window, UIUserInterfaceStyle style)
    : m_window(std::move(window))
    , m_style(style)
{
    liveHolds().push_back(this);
    if (auto shown = m_window.lock())
        shown->setOverrideUserInterfaceStyle(style);
}

ChosenStyle::Hold::~Hold()
{
    auto& holds = liveHolds();
    holds.erase(std::remove(holds.begin(), holds.end(), this), holds.end());
}
