#include "platform/foundation/Bundle.h"
#include "platform/ui/UIImage.h"

#include <map>
#include <mutex>

std::optional<UIImage> UIImage::named(const std::string& name)
{
    if (name.empty())
        return std::nullopt;
    // Assets are decoded once; images are immutable and share their bitmap.
    static std::mutex mutex;
    static std::map<std::string, std::optional<UIImage>> cache;
    {
        std::lock_guard lock(mutex);
        if (auto it = cache.find(name); it != cache.end())
            return it->second;
    }
    std::optional<UIImage> image;
    if (auto path = Bundle::main().imagePath(name)) {
        image = fromFile(*path);
        if (image)
            image = image->markedAsBundleImage();
    }
    std::lock_guard lock(mutex);
    // Only hits are kept, so an asset added later is still found.
    if (image)
        cache.emplace(name, image);
    return image;
}
