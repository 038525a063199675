#include "framework/Effects.h"

#include "framework/Dialog.h"
#include "framework/StaticPicture.h"
#include "framework/Window.h"
#include "platform/Cursor.h"
#include "platform/Debug.h"

#include <algorithm>

namespace {

constexpr int glideSteps = 50;
constexpr uint32_t glideInterval = 10;

// True when the picture has been released into its parent's deletion queue.
bool IsReleased(IMPicture* picture)
{
    return picture->parent != nullptr && picture->parent->IsPendingDelete(picture);
}

long BlinkStep(int stepsLeft, uint32_t interval, int id, IMPicture* picture)
{
    IMWindow* window = rootWindow;
    if (window == nullptr)
        return 0;
    window->RemoveTimer(id);
    if (IsReleased(picture))
        return 0;
    if (stepsLeft == 0) {
        picture->Close();
        return 0;
    }
    if (picture->IsHidden())
        picture->Show();
    else
        picture->Hide();
    int next = window->AddTimer(interval);
    window->ConnectTimerTracked(next, picture, [=](const IMEvent&) {
        return BlinkStep(stepsLeft - 1, interval, next, picture);
    });
    return 0;
}

struct Glide {
    float x { 0.0f };
    float y { 0.0f };
    float dx { 0.0f };
    float dy { 0.0f };
};

long GlideStep(Glide glide, int id, int stepsLeft, uint32_t interval, IMPicture* picture);

void ScheduleGlide(IMWindow* window, const Glide& glide, int stepsLeft, uint32_t interval, IMPicture* picture)
{
    int id = window->AddTimer(interval);
    auto step = [=](const IMEvent&) { return GlideStep(glide, id, stepsLeft, interval, picture); };
    if (picture != nullptr)
        window->ConnectTimerTracked(id, picture, step);
    else
        window->ConnectTimer(id, step);
}

long GlideStep(Glide glide, int id, int stepsLeft, uint32_t interval, IMPicture* picture)
{
    IMWindow* window = rootWindow;
    if (window == nullptr)
        return 0;
    if (picture != nullptr && IsReleased(picture)) {
        window->RemoveTimer(id);
        return 0;
    }
    int x = static_cast<int>(glide.x);
    int y = static_cast<int>(glide.y);
    if (picture != nullptr)
        picture->MoveTo(POINT { x, y });
    else
        SetCursorPosition(x, y);
    window->RemoveTimer(id);
    if (stepsLeft == 0)
        return 0;
    Glide next = glide;
    next.x += glide.dx;
    next.y += glide.dy;
    ScheduleGlide(window, next, stepsLeft - 1, interval, picture);
    return 0;
}

} // namespace

IMPicture* CreateBlinkingPicture(IMDialog* dialog, int x, int y, const std::wstring& textureName,
    uint32_t blinks, uint32_t durationMs, int layer)
{
    if (blinks == 0 || dialog == nullptr || rootWindow == nullptr) {
        DebugOutput(L"CreateBlinkingPicture: needs a dialog, the main window and at least one blink.");
        return nullptr;
    }
    IMWindow* window = rootWindow;
    // 64-bit so that a huge blink count cannot wrap the divisor to zero.
    uint32_t interval = static_cast<uint32_t>(uint64_t(durationMs) / (uint64_t(blinks) * 2));
    IMPicture* picture = dialog->CreatePicture(x, y, textureName, layer, 0xFFFFFFFF);
    int steps = static_cast<int>(std::min<uint64_t>(uint64_t(blinks) * 2, 0x7FFFFFFF));
    int id = window->AddTimer(interval);
    window->ConnectTimerTracked(id, picture, [=](const IMEvent&) {
        return BlinkStep(steps, interval, id, picture);
    });
    return picture;
}

bool AnimateMove(float fromX, float fromY, int toX, int toY, IMPicture* picture)
{
    IMWindow* window = rootWindow;
    if (window == nullptr)
        return false;
    Glide glide;
    glide.dx = (static_cast<float>(toX) - fromX) / glideSteps;
    glide.dy = (static_cast<float>(toY) - fromY) / glideSteps;
    glide.x = fromX + glide.dx;
    glide.y = fromY + glide.dy;
    ScheduleGlide(window, glide, glideSteps, glideInterval, picture);
    return true;
}
