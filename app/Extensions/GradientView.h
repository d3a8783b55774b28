#pragma once

#include "platform/ui/CGGeometry.h"
#include "platform/ui/UIColor.h"

#include <concepts>
#include <memory>
#include <optional>
#include <vector>

class UIView;

// Gradient properties kept with a view. Each setter stores the value and, when the view's layer
// is a gradient layer, hands it to the layer; other layers are left alone. Unset lists read as
// nothing, unset points as (0, 0).

std::optional<std::vector<UIColor>> az_colors(const UIView& view);
void az_setColors(UIView& view, std::optional<std::vector<UIColor>> colors);
std::optional<std::vector<CGFloat>> az_locations(const UIView& view);
void az_setLocations(UIView& view, std::optional<std::vector<CGFloat>> locations);
CGPoint az_startPoint(const UIView& view);
void az_setStartPoint(UIView& view, CGPoint point);
CGPoint az_endPoint(const UIView& view);
void az_setEndPoint(UIView& view, CGPoint point);

// Colours in order, no locations (so the stops spread evenly), then the two points.
void az_setGradientBackgroundWithColors(
    UIView& view, const std::vector<UIColor>& colors, CGPoint startPoint, CGPoint endPoint);

// A new view of the class with that gradient. The locations are applied after the colours and
// points rather than dropped, since a caller that passes them means them.
template<std::derived_from<UIView> T = UIView>
std::shared_ptr<T> az_gradientViewWithColors(const std::vector<UIColor>& colors,
    std::optional<std::vector<CGFloat>> locations, CGPoint startPoint, CGPoint endPoint)
{
    auto view = std::make_shared<T>();
    az_setGradientBackgroundWithColors(*view, colors, startPoint, endPoint);
    az_setLocations(*view, std::move(locations));
    return view;
}

// Makes every view and label created from now on whose class does not bring a layer of its own
// be backed by a gradient layer, which draws like a plain layer until it gets colours. Run once
// before the first screen (the phone does this when the classes load).
void registerGradientBackedViews();
