#pragma once

// The video player of the player framework. Only its playback rate is here so far; panels read
// it to mark the current rate, and the player's own area fills in the rest.
class SJVideoPlayer {
public:
    virtual ~SJVideoPlayer() = default;

    double rate() const { return m_rate; }
    void setRate(double rate) { m_rate = rate; }

private:
    double m_rate = 1.0;
};
