#include "app/Extensions/LayoutConstants.h"

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"
#include "platform/ui/UIWindow.h"

#include <algorithm>

// Function-local statics give each constant its own thread-safe once-guard.

CGRect screenBounds()
{
    static const CGRect value = UIScreen::main().bounds();
    return value;
}

CGFloat screenWidth()
{
    static const CGFloat value = UIScreen::main().bounds().size.width;
    return value;
}

CGFloat screenHeight()
{
    static const CGFloat value = UIScreen::main().bounds().size.height;
    return value;
}

bool isFullScreen()
{
    static const bool value = screenHeight() >= 812.0;
    return value;
}

CGFloat bottomSafeAreaHeight()
{
    static const CGFloat value = isFullScreen() ? 34.0 : 0;
    return value;
}

CGFloat statusBarHeight()
{
    static const CGFloat value = UIApplication::shared().statusBarFrame().size.height;
    return value;
}

CGFloat navigationBarHeight()
{
    static const CGFloat value = statusBarHeight() + 44.0;
    return value;
}

CGFloat screenShortSide()
{
    static const CGFloat value = std::min(screenWidth(), screenHeight());
    return value;
}

CGFloat screenLongSide()
{
    static const CGFloat value = std::max(screenWidth(), screenHeight());
    return value;
}

const std::optional<UIImage>& placeholderImage()
{
    static const std::optional<UIImage> value = UIImage::named("placeholder_nor");
    return value;
}

UserDefaults& standardDefaults()
{
    static UserDefaults& value = UserDefaults::standard();
    return value;
}

DispatchQueue& mainQueue()
{
    static DispatchQueue& value = DispatchQueue::main();
    return value;
}

namespace {

// Windows live on the main thread only, so the key window needs no once-guard; tests may clear it.
struct KeyWindowCache {
    bool looked = false;
    std::shared_ptr<UIWindow> window;
};

KeyWindowCache& keyWindowCache()
{
    static KeyWindowCache cache;
    return cache;
}

}

const std::shared_ptr<UIWindow>& cachedKeyWindow()
{
    KeyWindowCache& cache = keyWindowCache();
    if (!cache.looked) {
        cache.looked = true;
        for (auto& window : UIApplication::shared().windows()) {
            if (window->isKeyWindow()) {
                cache.window = window;
                break;
            }
        }
    }
    return cache.window;
}

void resetCachedKeyWindowForTesting()
{
    keyWindowCache() = {};
}
