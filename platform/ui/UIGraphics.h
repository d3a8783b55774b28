#pragma once

#include "platform/ui/CGContext.h"
#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIImage.h"

#include <functional>
#include <memory>
#include <optional>

// Bitmap image contexts and the stack of current drawing contexts.

struct UIGraphicsImageRendererFormat {
    // Pixels per point; 0 means the main screen's scale.
    CGFloat scale = 0;
    // An opaque context has no alpha channel and starts black.
    bool opaque = false;
    UIUserInterfaceStyle interfaceStyle = UIUserInterfaceStyle::light;
};

// Makes images by running drawing actions on a fresh bitmap of a size in points.
class UIGraphicsImageRenderer {
public:
    explicit UIGraphicsImageRenderer(CGSize size, UIGraphicsImageRendererFormat format = {});
    CGSize size() const { return m_size; }
    CGFloat scale() const { return m_scale; }
    // The context is current (UIGraphicsGetCurrentContext) while the actions run. A size without
    // area, or too large for a bitmap, gives an empty image and runs nothing.
    UIImage image(const std::function<void(CGContext&)>& actions) const;

private:
    CGSize m_size;
    CGFloat m_scale;
    UIGraphicsImageRendererFormat m_format;
};

// The classic begin/get/end image context calls (main thread). Begin with a size without area
// pushes no context.
void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale);
std::optional<UIImage> UIGraphicsGetImageFromCurrentImageContext();
void UIGraphicsEndImageContext();

// The context drawing currently goes to (image contexts, view drawing); nullptr when none.
CGContext* UIGraphicsGetCurrentContext();
void UIGraphicsPushContext(CGContext* context);
void UIGraphicsPopContext();
