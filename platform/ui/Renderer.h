#pragma once

#include "platform/ui/CGContext.h"
#include "platform/ui/UIImage.h"

#include <filesystem>
#include <string>

class UIView;

// Turns view trees into pictures and text, for the device shell, tests and debugging.
class Renderer {
public:
    // Lays the tree out, then draws the view and its subviews into an image of its bounds size
    // (scale 0: the screen's), resolving dynamic colours against the view's interface style.
    static UIImage render(UIView& view, CGFloat scale = 0);
    // Every visible window of the application, lowest level first, over black, at screen size.
    static UIImage renderScreen(CGFloat scale = 0);
    // The same screen with every text and the contents of the given layers left out: what lies
    // behind them (CGContext::setForegroundLeftOut).
    static UIImage renderScreenBehind(const CGContext::LayerSet& leftOut, CGFloat scale = 0);

    // PNG files compressed for speed (screenshots are for looking at).
    static bool writePNG(const UIImage& image, const std::filesystem::path& path);
    static bool writePNG(UIView& view, const std::filesystem::path& path, CGFloat scale = 0);

    // One line per view, indented two spaces per level: class, frame, "hidden", alpha when not 1,
    // accessibility identifier, then the view's own attributes (a label's text, ...).
    static std::string dumpViewTree(const UIView& root);

private:
    static UIImage renderWindows(CGFloat scale, const CGContext::LayerSet* leftOut);
};
