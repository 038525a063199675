#pragma once
// The whole program on a headless window and a manual clock, optionally with a sound system on
// the silent device (its streams run decode threads), and helpers to find what the instruction
// and the praise put on the screen.

#include "../game/GameFixture.h"

#include "app/ProgramSound.h"
#include "framework/Effects.h"
#include "graphics/PngWriter.h"
#include "graphics/ResourceManager.h"
#include "platform/AudioNull.h"
#include "platform/Display.h"
#include "platform/Resources.h"
#include "sound/SoundStream.h"
#include "sound/SoundSystem.h"
#include "sound/WindowSoundHost.h"

#include <memory>
#include <string>
#include <vector>

class InstructionFixture : public GameFixture {
protected:
    void TearDown() override
    {
        // As at the program's end: the sounds go first, then the window with what is still open.
        StopSoundSystem();
        ClearInstalledResources();
        GameFixture::TearDown();
    }

    void StartSoundSystem()
    {
        sound = std::make_unique<CSoundSystem>();
        sound->SetResourceLookup([](uint16_t id) { return FindNumberedResource(id); });
        ASSERT_EQ(sound->InitializeSound(&host, std::make_unique<NullAudioDevice>()), 1);
        SetProgramSound(sound.get());
    }
    void StopSoundSystem()
    {
        SetProgramSound(nullptr);
        sound.reset();
    }

    // Moves clock, decode threads and loop forward 10 ms at a time.
    void Advance(uint64_t ms)
    {
        for (uint64_t t = 0; t < ms; t += 10) {
            clock.AdvanceMilliseconds(10);
            if (sound)
                for (uint32_t id = 1; CSoundStream* stream = sound->FindStream(id); ++id)
                    stream->RunPass();
            window->RunPass();
        }
    }
    // Advances to `ms` after `start` (clock milliseconds).
    void AdvanceTo(uint32_t start, uint32_t ms)
    {
        const uint32_t now = clock.Milliseconds() - start;
        if (ms > now)
            Advance(ms - now);
    }
    uint32_t Now() const { return clock.Milliseconds(); }

    // The streams playing now.
    std::vector<uint32_t> PlayingStreams() const
    {
        std::vector<uint32_t> ids;
        if (sound)
            for (uint32_t id = 1; CSoundStream* stream = sound->FindStream(id); ++id)
                if (stream->IsPlaying())
                    ids.push_back(id);
        return ids;
    }

    // The active pictures of `dialog` showing the texture `name` (none when it is not loaded).
    static std::vector<IMPicture*> PicturesOf(IMDialog* dialog, const std::wstring& name)
    {
        std::vector<IMPicture*> found;
        if (dialog == nullptr || resourceManager == nullptr)
            return found;
        const int index = resourceManager->FindTexture(name);
        if (index == resourceManager->SlotCount())
            return found;
        for (const auto& [layer, controls] : dialog->GetChildren())
            for (IMControl* child : controls)
                if (auto* picture = dynamic_cast<IMPicture*>(child); picture && picture->HasTexture()
                    && picture->GetTexture() == index && !dialog->IsPendingDelete(picture))
                    found.push_back(picture);
        return found;
    }
    static IMPicture* PictureOf(IMDialog* dialog, const std::wstring& name)
    {
        const auto all = PicturesOf(dialog, name);
        return all.size() == 1 ? all.front() : nullptr;
    }
    // Whether `child` is an active child of the main window that is not queued for deletion.
    bool IsOpen(IMControl* child) const
    {
        for (const auto& [layer, controls] : window->GetChildren())
            for (IMControl* c : controls)
                if (c == child)
                    return !window->IsPendingDelete(child);
        return false;
    }
    static bool Registered(const wchar_t* name)
    {
        return resourceManager->FindTexture(name) != resourceManager->SlotCount();
    }

    // Draws a frame and writes it to `file` in the working folder; answers the canvas.
    std::vector<uint32_t> Shot(const std::string& file)
    {
        window->SetDirty(true);
        window->Render();
        std::vector<uint32_t> pixels = window->Display()->ReadPixels();
        if (pixels.size() == 800u * 600u)
            WritePng(file, 800, 600, pixels);
        return pixels;
    }

    WindowSoundHost host;
    std::unique_ptr<CSoundSystem> sound;
};
