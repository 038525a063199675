#pragma once
// IMAnimationView: what an animation control asks of its view. Frames are numbered from 0;
// LastFrame() may grow known only while playing (a very large number until the end of the
// data is met).

#include <cstdint>

class IMAnimationView {
public:
    virtual ~IMAnimationView() = default;
    // Puts frame `frame` on screen (or the nearest the view has ready) and prepares the next.
    virtual void ShowFrame(int32_t frame) = 0;
    // The frame last asked of ShowFrame.
    virtual int32_t CurrentFrame() const = 0;
    virtual int32_t FirstFrame() const = 0;
    virtual int32_t LastFrame() const = 0;
    // These only store the value.
    virtual void SetFirstFrame(int32_t frame) = 0;
    virtual void SetLastFrame(int32_t frame) = 0;
    // True when there is nothing to play: no clip was opened, or it could not be decoded.
    virtual bool HasFailed() const = 0;
};
