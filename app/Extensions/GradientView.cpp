#include "app/Extensions/GradientView.h"

#include "platform/ui/CAGradientLayer.h"
#include "platform/ui/UIView.h"

namespace {

const char* const kColorsKey = "GradientView.colors";
const char* const kLocationsKey = "GradientView.locations";
const char* const kStartPointKey = "GradientView.startPoint";
const char* const kEndPointKey = "GradientView.endPoint";

template<typename T> std::optional<T> stored(const UIView& view, const char* key)
{
    const T* value = view.associatedValueAs<T>(key);
    return value ? std::optional<T>(*value) : std::nullopt;
}

template<typename T> void store(UIView& view, const char* key, const std::optional<T>& value)
{
    if (value)
        view.setAssociatedValue(key, *value);
    else
        view.setAssociatedValue(key, {});
}

}

std::optional<std::vector<UIColor>> az_colors(const UIView& view)
{
    return stored<std::vector<UIColor>>(view, kColorsKey);
}

void az_setColors(UIView& view, std::optional<std::vector<UIColor>> colors)
{
    store(view, kColorsKey, colors);
    if (auto gradient = view.layerAs<CAGradientLayer>())
        gradient->setColors(colors.value_or(std::vector<UIColor> {}));
}

std::optional<std::vector<CGFloat>> az_locations(const UIView& view)
{
    return stored<std::vector<CGFloat>>(view, kLocationsKey);
}

void az_setLocations(UIView& view, std::optional<std::vector<CGFloat>> locations)
{
    store(view, kLocationsKey, locations);
    if (auto gradient = view.layerAs<CAGradientLayer>())
        gradient->setLocations(std::move(locations));
}

CGPoint az_startPoint(const UIView& view)
{
    return stored<CGPoint>(view, kStartPointKey).value_or(CGPoint {});
}

void az_setStartPoint(UIView& view, CGPoint point)
{
    view.setAssociatedValue(kStartPointKey, point);
    if (auto gradient = view.layerAs<CAGradientLayer>())
        gradient->setStartPoint(point);
}

CGPoint az_endPoint(const UIView& view)
{
    return stored<CGPoint>(view, kEndPointKey).value_or(CGPoint {});
}

void az_setEndPoint(UIView& view, CGPoint point)
{
    view.setAssociatedValue(kEndPointKey, point);
    if (auto gradient = view.layerAs<CAGradientLayer>())
        gradient->setEndPoint(point);
}

void az_setGradientBackgroundWithColors(
    UIView& view, const std::vector<UIColor>& colors, CGPoint startPoint, CGPoint endPoint)
{
    az_setColors(view, colors);
    az_setLocations(view, std::nullopt);
    az_setStartPoint(view, startPoint);
    az_setEndPoint(view, endPoint);
}

void registerGradientBackedViews()
{
    UIView::setDefaultLayerFactory([] { return CAGradientLayer::make(); });
}
