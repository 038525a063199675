// The game's spoken instruction: the first puzzle's pieces, two blinking red frames, the drawn
// cursor carrying one piece into the frame, the other pieces flying into place, then the
// closing page that waits for Space. The speech drives the timing through its cues.
//
// Each instruction keeps its state in one InstructionRun, owned by a hidden keeper control in
// the instruction dialog: the run lives exactly as long as the dialog, and every sound callback
// is tracked to it, so nothing reaches a dialog, a picture or the drawn cursor that is gone.

#include "app/App.h"
#include "app/ProgramSound.h"
#include "framework/Effects.h"
#include "framework/Messages.h"
#include "framework/StaticPicture.h"
#include "framework/Window.h"
#include "game/CursorMouse.h"
#include "graphics/ResourceManager.h"
#include "platform/Cursor.h"
#include "platform/Debug.h"
#include "platform/Resources.h"
#include "sound/SoundStream.h"
#include "sound/SoundSystem.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace {

struct PiecePlace {
    const wchar_t* texture;
    POINT start;  // where the piece lies in the left panel
    POINT place;  // where it belongs in the frame
};

// The first puzzle's pieces in the order they are created; the last one is carried by the
// drawn cursor and later shows the finished picture.
constexpr std::array<PiecePlace, 9> kPieces { {
    { L"106", { 93, 170 }, { 399, 106 } },
    { L"107", { 98, 194 }, { 486, 106 } },
    { L"108", { 52, 138 }, { 616, 106 } },
    { L"109", { 115, 143 }, { 399, 197 } },
    { L"110", { 112, 232 }, { 489, 194 } },
    { L"111", { 132, 135 }, { 607, 186 } },
    { L"112", { 86, 276 }, { 399, 332 } },
    { L"113", { 121, 356 }, { 485, 343 } },
    { L"114", { 117, 149 }, { 618, 321 } },
} };
constexpr std::size_t kCarried = 8;

constexpr std::array<uint32_t, 7> kCueTimes { 5000, 6931, 7930, 9111, 10160, 14400, 15300 };

constexpr const wchar_t* kInstructionSound = L"141";
constexpr std::string_view kClosingSound = "ENDHELPSOUND";
constexpr std::array<std::string_view, 3> kClosingPictures { "KEYBOARDPIC", "MOUSE", "KEYSPACE" };
constexpr int kClosingLayer = 1000;
constexpr uint32_t kSpaceBlinkMs = 500;

struct InstructionRun {
    IMDialog* dialog { nullptr };
    CursorMouse* cursor { nullptr };  // owned until the end of the instruction
    std::array<IMPicture*, kPieces.size()> pieces {};
    uint32_t sound { 0 };
    bool ended { false };
    bool closing { false };  // the dialog is being closed
};

// The runs of the open instruction dialogs.
std::map<IMDialog*, std::weak_ptr<InstructionRun>> runs;

std::shared_ptr<InstructionRun> FindRun(IMDialog* dialog)
{
    const auto it = runs.find(dialog);
    return it == runs.end() ? nullptr : it->second.lock();
}

// A hidden, empty control whose life is the dialog's: it owns the dialog's run and, when the
// dialog goes without its instruction having ended (the program closing), gives back the
// drawn cursor.
class RunKeeper final : public IMViewControl<IMEmptyView> {
public:
    RunKeeper(IMDialog* dialog, std::shared_ptr<InstructionRun> run)
        : IMViewControl<IMEmptyView>(dialog, 0)
        , run(std::move(run))
    {
        hidden = true;
    }
    ~RunKeeper() override
    {
        if (CursorMouse* cursor = run->cursor) {
            run->cursor = nullptr;
            cursor->Release();
            delete cursor;
        }
        // The dialog may have been given a newer run meanwhile; that one stays.
        if (const auto it = runs.find(run->dialog); it != runs.end() && it->second.lock() == run)
            runs.erase(it);
        run->dialog = nullptr;
    }

    const std::shared_ptr<InstructionRun> run;
};

// True once `control` waits in its parent's deletion queue.
bool IsReleased(const IMControl* control)
{
    return control->parent != nullptr && control->parent->IsPendingDelete(control);
}

std::wstring Wide(std::string_view name) { return std::wstring(name.begin(), name.end()); }

// The 500 ms toggle of the space-bar highlight; the chain ends with the picture.
void BlinkSpaceBar(IMPicture* picture)
{
    IMWindow* window = rootWindow;
    if (window == nullptr)
        return;
    const int id = window->AddTimer(kSpaceBlinkMs);
    window->ConnectTimerTracked(id, picture, [window, id, picture](const IMEvent&) {
        window->RemoveTimer(id);
        if (IsReleased(picture))
            return 0L;
        if (picture->IsHidden())
            picture->Show();
        else
            picture->Hide();
        BlinkSpaceBar(picture);
        return 0L;
    });
}

void StepAt(InstructionRun& run, uint32_t timeMs)
{
    IMDialog* dialog = run.dialog;
    CursorMouse* cursor = run.cursor;
    IMPicture* carried = run.pieces[kCarried];
    switch (timeMs) {
    case 5000:
        CreateBlinkingPicture(dialog, 22, 83, L"149", 3, 2000, 0);
        break;
    case 6931:
        if (cursor && cursor->cursorPicture && cursor->mousePicture) {
            cursor->cursorPicture->MoveTo(300, 300);
            cursor->mousePicture->MoveTo(310, 310);
            if (!cursor->mouseHidden)
                cursor->mousePicture->Show();
            cursor->cursorPicture->Show();
            cursor->GlideTo(300, 300, 187, 219);
        }
        break;
    case 7930:
        if (cursor && cursor->cursorPicture && cursor->mousePicture) {
            cursor->cursorPicture->MoveTo(187, 219);
            cursor->mousePicture->MoveTo(197, 229);
            cursor->PressLeft();
        }
        if (carried) {
            const PiecePlace& p = kPieces[kCarried];
            AnimateMove(static_cast<float>(p.start.x), static_cast<float>(p.start.y), p.place.x, p.place.y, carried);
        }
        if (cursor)
            cursor->GlideTo(187, 219, 696, 393);
        break;
    case 9111:
        if (cursor && cursor->cursorPicture && cursor->mousePicture) {
            cursor->mousePicture->Hide();
            cursor->cursorPicture->Hide();
        }
        break;
    case 10160:
        CreateBlinkingPicture(dialog, 404, 103, L"148", 3, 2000, 0);
        break;
    case 14400:
        for (std::size_t i = kCarried; i-- > 0;) {
            const PiecePlace& p = kPieces[i];
            if (run.pieces[i])
                AnimateMove(static_cast<float>(p.start.x), static_cast<float>(p.start.y), p.place.x, p.place.y,
                    run.pieces[i]);
        }
        break;
    case 15300:
        if (carried) {
            carried->SetTexture(L"115");
            carried->SetRect(RECT { 0, 0, 350, 350 });
            carried->MoveTo(405, 106);
        }
        for (std::size_t i = 0; i < kCarried; ++i) {
            if (run.pieces[i] && !IsReleased(run.pieces[i]))
                run.pieces[i]->Close();
            run.pieces[i] = nullptr;
        }
        break;
    default:
        break;
    }
}

} // namespace

void App::ShowInstruction(IMDialog* dialog)
{
    if (dialog == nullptr)
        return;
    instructionEnded = false;
    instructionDialog = dialog;

    auto run = std::make_shared<InstructionRun>();
    run->dialog = dialog;
    runs[dialog] = run;
    new RunKeeper(dialog, run);

    ShowCursor(false);
    run->cursor = new CursorMouse(dialog);
    if (run->cursor->mousePicture)
        run->cursor->mousePicture->Hide();
    if (run->cursor->cursorPicture)
        run->cursor->cursorPicture->Hide();

    dialog->CreatePicture(0, 0, L"103", 0, 0xFFFFFFFF);
    dialog->CreatePicture(0, 60, L"102", 0, 0xFFFFFFFF);
    for (std::size_t i = 0; i < kPieces.size(); ++i)
        run->pieces[i] = dialog->CreatePicture(kPieces[i].start.x, kPieces[i].start.y, kPieces[i].texture, 0, 0xFFFFFFFF);

    CSoundSystem* sound = ProgramSound();
    run->sound = sound ? sound->CreateSound(kInstructionSound) : 0;
    const std::weak_ptr<InstructionRun> weak = run;

    if (run->sound != 0) {
        const uint32_t id = run->sound;
        SoundSignal::slot_type onEnd([this, weak, id](uint32_t) {
            const auto alive = weak.lock();
            CSoundSystem* system = ProgramSound();
            // An end left over from a playback stopped earlier does not end this one.
            const CSoundStream* stream = system ? system->FindStream(id) : nullptr;
            if (alive && alive->dialog && !(stream && stream->IsPlaying()))
                InstructionEnd(alive->dialog, alive->cursor);
            return 0L;
        });
        sound->ConnectSoundEnd(id, onEnd.track_foreign(std::weak_ptr<void>(run)));
    }
    ConnectTracked(dialog->sigClosed, dialog, [weak](const IMEvent&) {
        const auto alive = weak.lock();
        CSoundSystem* system = ProgramSound();
        if (alive && alive->sound != 0 && system)
            system->StopSound(alive->sound);
        return 0L;
    });
    ConnectTracked(dialog->sigClosed, dialog, [this, weak](const IMEvent&) {
        if (const auto alive = weak.lock(); alive && alive->dialog) {
            alive->closing = true;
            InstructionEnd(alive->dialog, alive->cursor);
        }
        return 0L;
    });

    if (run->sound != 0) {
        for (const uint32_t time : kCueTimes) {
            LabelSignal::slot_type cue([weak](uint32_t, uint32_t timeMs) {
                const auto alive = weak.lock();
                if (alive && alive->dialog && !alive->ended)
                    StepAt(*alive, timeMs);
                return 0L;
            });
            sound->AddSoundLabel(run->sound, time, cue.track_foreign(std::weak_ptr<void>(run)));
        }
        sound->PlaySound(run->sound, false);
    }
    // Without the speech (no sound system, a damaged sound, no playback) the instruction goes
    // straight to its closing page, as if the speech were over.
    const CSoundStream* stream = sound && run->sound != 0 ? sound->FindStream(run->sound) : nullptr;
    if (stream == nullptr || !stream->IsPlaying()) {
        DebugOutput(L"instruction: the speech cannot be played; showing the closing page");
        InstructionEnd(dialog, run->cursor);
    }
}

void App::InstructionEnd(IMDialog* dialog, CursorMouse* cursor)
{
    const auto run = FindRun(dialog);
    if (run ? run->ended : instructionEnded)
        return;
    if (run)
        run->ended = true;
    if (dialog == instructionDialog)
        instructionEnded = true;

    if (dialog)
        ShowClosingPage(dialog);
    ShowCursor(true);

    if (cursor) {
        if (run && run->cursor == cursor)
            run->cursor = nullptr;
        if (cursor->mousePicture)
            cursor->mousePicture->Hide();
        if (cursor->cursorPicture)
            cursor->cursorPicture->Hide();
        cursor->Release();
        delete cursor;
    }
}

void App::ShowClosingPage(IMDialog* dialog)
{
    if (dialog == nullptr)
        return;
    const auto run = FindRun(dialog);

    // The closing sentence asks for Space; it is not started when the dialog is already going.
    CSoundSystem* sound = ProgramSound();
    if (sound && !(run && run->closing)) {
        const auto bytes = FindNamedBlob(kClosingSound);
        const uint32_t id = bytes.empty() ? 0 : sound->CreateSoundFromMemory(Wide(kClosingSound), bytes.data(), bytes.size());
        if (id != 0) {
            ConnectTracked(dialog->sigClosed, dialog, [id](const IMEvent&) {
                if (CSoundSystem* system = ProgramSound())
                    system->StopSound(id);
                return 0L;
            });
            sound->PlaySound(id, false);
        }
    }

    std::array<bool, kClosingPictures.size()> registered {};
    if (resourceManager) {
        for (std::size_t i = 0; i < kClosingPictures.size(); ++i) {
            const int index = resourceManager->RegisterTexture(Wide(kClosingPictures[i]), FindNamedBlob(kClosingPictures[i]));
            registered[i] = index != resourceManager->SlotCount();
        }
    }
    dialog->CreatePicture(107, 347, L"KEYBOARDPIC", kClosingLayer, 0xFFFFFFFF);
    dialog->CreatePicture(500, 209, L"MOUSE", kClosingLayer, 0xFFFFFFFF);
    IMPicture* space = dialog->CreatePicture(237, 502, L"KEYSPACE", kClosingLayer, 0xFFFFFFFF);
    for (std::size_t i = 0; i < kClosingPictures.size(); ++i)
        if (registered[i] && resourceManager)
            resourceManager->ReleaseTexture(Wide(kClosingPictures[i]));

    BlinkSpaceBar(space);

    if (mainWindow) {
        ConnectTracked(mainWindow->sigKeyDown, dialog, [this, dialog](const IMKeyboardEvent& e) {
            if (e.Is(WM_KEYDOWN) && e.wParam == VK_SPACE)
                CloseInstruction(dialog);
            return 0L;
        });
    }
}
