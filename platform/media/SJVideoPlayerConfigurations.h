#pragma once

#include "platform/ui/UIColor.h"
#include "platform/ui/UIFont.h"
#include "platform/ui/UIImage.h"

#include <optional>

// The look of the full player's controls. Controls read it whenever they show a state, so a
// change applies from the next update on. Images left empty are drawn by the player itself.
struct SJVideoPlayerResources {
    UIColor progressBufferColor = UIColor::white(1, 0.5);
    UIColor progressTrackColor = UIColor::white(1, 0.2);
    UIColor progressTraceColor = UIColor::white();
    UIColor progressThumbColor = UIColor::white();
    CGFloat progressTrackHeight = 3;
    CGFloat progressThumbSize = 12;

    // The thin line at the bottom while the controls are hidden.
    UIColor bottomIndicatorTrackColor = UIColor::white(1, 0.2);
    UIColor bottomIndicatorTraceColor = UIColor::white();
    CGFloat bottomIndicatorHeight = 1;

    std::optional<UIImage> backImage;
    std::optional<UIImage> lockImage;
    std::optional<UIImage> unlockImage;
    std::optional<UIImage> playImage;
    std::optional<UIImage> pauseImage;
    std::optional<UIImage> fullscreenImage;
    std::optional<UIImage> smallScreenImage;
    std::optional<UIImage> replayImage;

    UIFont timeLabelFont = UIFont::systemFont(11);
    UIColor timeLabelColor = UIColor::white();

    // The image set for these or, when none is set, the player's own drawing of it (white).
    UIImage back() const;
    UIImage play() const;
    UIImage pause() const;
    UIImage fullscreen() const;
    UIImage smallScreen() const;
    UIImage replay() const;
};

// The shared settings of the full players (main thread).
class SJVideoPlayerConfigurations {
public:
    static SJVideoPlayerConfigurations& shared();

    SJVideoPlayerResources resources;

    void resetForTesting() { resources = SJVideoPlayerResources(); }
};
