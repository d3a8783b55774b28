#include "platform/ui/imageloading/UIImageViewWebCache.h"

void sd_setImage(UIImageView& view, const std::string& url, std::optional<UIImage> placeholder,
    ImageLoadCompletion completion)
{
    ImageLoader::shared().setImage(view, url, std::move(placeholder), std::move(completion));
}

void sd_cancelCurrentImageLoad(UIImageView& view)
{
    ImageLoader::shared().cancel(view);
}
