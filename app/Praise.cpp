#include "app/Praise.h"

#include "app/ProgramSound.h"
#include "framework/Effects.h"
#include "framework/StaticPicture.h"
#include "framework/Window.h"
#include "game/Random.h"
#include "graphics/ResourceManager.h"
#include "platform/Clock.h"
#include "platform/Debug.h"
#include "platform/Resources.h"
#include "sound/SoundSystem.h"
#include "video/TheoraAnimation.h"

#include <memory>

const std::array<PraiseItem, 5> kPraiseItems { {
    { L"bravo_sound", "bravo_clip" },
    { L"gotovo_sound", "gotovo_clip" },
    { L"molodec_sound", "molodec_clip" },
    { L"otlichno_sound", "otlichno_clip" },
    { L"ura_sound", "ura_clip" },
} };

namespace {

// The clips are 26 frames at 12 frames a second: the praise lasts at least that long, even
// when its clip cannot be played or breaks off.
constexpr uint32_t kPraiseMs = 2167;
// 1/60000 s per frame: 12 frames a second.
constexpr int32_t kFramePeriod = 5000;
constexpr POINT kClipOffset { 93, 76 };
constexpr int kClipWidth = 320;
constexpr int kClipHeight = 200;
constexpr POINT kCloseMarkPlace { 137, 100 };

bool IsReleased(const IMControl* control)
{
    return control->parent != nullptr && control->parent->IsPendingDelete(control);
}

void CloseOnce(IMControl* control)
{
    if (control != nullptr && !IsReleased(control))
        control->Close();
}

// The cloud, the spoken word and the clip of word `index` in a new child of `mainWindow`.
// `onClipEnd` runs once, when the clip has ended and the praise's time is over.
IMDialog* BuildPraise(IMDialog* mainWindow, int x, int y, int index,
    std::function<void(IMDialog*, IMTheoraAnimation*)> onClipEnd)
{
    if (mainWindow == nullptr)
        return nullptr;
    if (index < 0 || index >= static_cast<int>(kPraiseItems.size()))
        index = 0;
    const PraiseItem& item = kPraiseItems[static_cast<std::size_t>(index)];

    auto* praise = new IMDialog(mainWindow, nullptr, 0);
    // The cloud goes in first: the clip lies inside it and must be drawn over it.
    if (resourceManager != nullptr) {
        const int cloud = resourceManager->RegisterTexture(L"oblako_png", FindNamedBlob("oblako_png"));
        praise->CreatePicture(x, y, L"oblako_png", 0, 0xFFFFFFFF);
        if (cloud != resourceManager->SlotCount())
            resourceManager->ReleaseTexture(L"oblako_png");
    }
    auto* clip = new IMTheoraAnimation(praise);

    if (CSoundSystem* sound = ProgramSound()) {
        const uint32_t id = sound->CreateSoundFromBlob(item.soundName);
        if (id != 0)
            sound->PlaySound(id, false);
    }
    const auto bytes = FindNamedBlob(item.clipBlob);
    if (bytes.empty() || !clip->Open(bytes))
        DebugOutput(L"praise: its clip cannot be played; the praise ends after its time");
    clip->MoveTo(x + kClipOffset.x, y + kClipOffset.y);
    clip->SetSize(kClipWidth, kClipHeight);
    clip->framePeriod = kFramePeriod;

    const uint32_t started = GetClock().Milliseconds();
    auto done = std::make_shared<bool>(false);
    auto finish = [praise, clip, done, onClipEnd]() {
        if (*done)
            return;
        *done = true;
        onClipEnd(praise, clip);
    };
    ConnectTracked(clip->sigFinished, praise, [praise, started, finish](const IMEvent&) {
        const uint32_t elapsed = GetClock().Milliseconds() - started;
        IMWindow* window = rootWindow;
        if (elapsed >= kPraiseMs || window == nullptr) {
            finish();
            return 0L;
        }
        // Ended early (a damaged or missing clip): the rest of the time on a timer.
        const int id = window->AddTimer(kPraiseMs - elapsed);
        window->ConnectTimerTracked(id, praise, [window, id, finish](const IMEvent&) {
            window->RemoveTimer(id);
            finish();
            return 0L;
        });
        return 0L;
    });
    clip->Play();
    return praise;
}

} // namespace

int ChoosePraiseIndex() { return RandomBelow(static_cast<int>(kPraiseItems.size())); }

IMDialog* BuildPraiseAt(IMDialog* mainWindow, int x, int y, int index, std::function<void()> onEnd)
{
    return BuildPraise(mainWindow, x, y, index, [onEnd](IMDialog* praise, IMTheoraAnimation*) {
        CloseOnce(praise);
        if (onEnd)
            onEnd();
    });
}

IMDialog* BuildPraiseWithCloseMark(IMDialog* mainWindow, IMDialog* target, int index)
{
    auto mark = std::make_shared<IMPicture*>(nullptr);
    IMDialog* praise = BuildPraise(mainWindow, kCloseMarkPlace.x, kCloseMarkPlace.y, index,
        [mark](IMDialog*, IMTheoraAnimation* clip) {
            CloseOnce(clip);
            if (*mark)
                (*mark)->Show();
        });
    if (praise == nullptr)
        return nullptr;

    IMPicture* closeMark = praise->CreatePicture(770, 10, L"ExitButton", 901, 0xFFFFFFFF);
    closeMark->SetRect(RECT { 740, 10, 780, 50 });
    closeMark->Hide();
    *mark = closeMark;

    if (target != nullptr) {
        // Stays connected exactly while the target lives and has not been released.
        const IMConnection targetAlive = ConnectTracked(target->sigPaint, target, [](const IMEvent&) { return 0L; });
        ConnectTracked(target->sigClosed, praise, [praise](const IMEvent&) {
            CloseOnce(praise);
            return 0L;
        });
        ConnectTracked(closeMark->sigClick, closeMark, [praise, target, targetAlive](const IMMouseEvent&) {
            if (targetAlive.connected())
                CloseOnce(target);
            // A target that went without closing leaves the praise to close itself.
            CloseOnce(praise);
            return 0L;
        });
    } else {
        ConnectTracked(closeMark->sigClick, closeMark, [praise](const IMMouseEvent&) {
            CloseOnce(praise);
            return 0L;
        });
    }
    return praise;
}
