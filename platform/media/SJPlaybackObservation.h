#pragma once

#include <functional>

class SJBaseVideoPlayer;

// The blocks through which a player reports what happens to its playback. Each runs on the main
// queue with the player; setting one replaces the previous one. Blocks should hold their owner
// weakly: the player keeps them as long as it lives.
struct SJPlaybackObservation {
    using Block = std::function<void(SJBaseVideoPlayer& player)>;

    // The asset played to its end.
    Block playbackDidFinishExeBlock;
    // About every 0.5 s while the time moves, and after each seek.
    Block currentTimeDidChangeExeBlock;
    // The time-control status (paused, waiting, playing) or its waiting reason changed.
    Block playbackStatusDidChangeExeBlock;
    // The asset status (unknown, preparing, ready to play, failed) changed.
    Block assetStatusDidChangeExeBlock;

    void setPlaybackDidFinishExeBlock(Block block) { playbackDidFinishExeBlock = std::move(block); }
    void setCurrentTimeDidChangeExeBlock(Block block) { currentTimeDidChangeExeBlock = std::move(block); }
    void setPlaybackStatusDidChangeExeBlock(Block block) { playbackStatusDidChangeExeBlock = std::move(block); }
    void setAssetStatusDidChangeExeBlock(Block block) { assetStatusDidChangeExeBlock = std::move(block); }
};
