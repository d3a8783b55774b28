#pragma once

#include "platform/ui/imageloading/ImageLoader.h"

#include <optional>
#include <string>

class UIImageView;

// Network images on image views through the shared loader (see ImageLoader::setImage).
void sd_setImage(UIImageView& view, const std::string& url, std::optional<UIImage> placeholder = std::nullopt,
    ImageLoadCompletion completion = {});
void sd_cancelCurrentImageLoad(UIImageView& view);
