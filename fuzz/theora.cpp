// Damaged Theora clips: the view refuses them or shows frames until the clip ends or it
// reports failure; it never reads outside the clip. The clip is held in a buffer of exactly
// its size so that any over-read is caught.
#include "framework/Window.h"
#include "video/TheoraView.h"

#include <cstdlib>
#include <vector>

namespace {
IMWindow* window = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    window = IMWindow::CreateHeadless(64, 64);
    if (!window)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    const std::vector<uint8_t> clip(data, data + size);
    IMTheoraView view;
    if (!view.Open(clip.data(), int32_t(clip.size())))
        return 0;
    if (view.FrameWidth() <= 0 || view.FrameHeight() <= 0)
        std::abort();
    // A fuzzed clip may announce a long run of frames; a few dozen cover the decoder.
    for (int32_t frame = 0; frame < 48 && !view.HasFailed(); ++frame) {
        if (view.LastFrame() != IMTheoraView::kUnknownLastFrame && frame > view.LastFrame())
            break;
        view.ShowFrame(frame);
    }
    // A replay from the start decodes the clip again from its first byte.
    if (!view.HasFailed())
        view.ShowFrame(0);
    return 0;
}
