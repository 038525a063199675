#include "app/RunGame.h"

#include "app/App.h"
#include "app/ProgramSound.h"
#include "platform/AudioDevice.h"
#include "platform/Resources.h"
#include "sound/SoundSystem.h"

#include <memory>

int RunGame(bool windowed)
{
    App* app = App::Instance(L"00734 Игра «Тирлан»", windowed);
    if (app->mainWindow == nullptr) {
        App::ReleaseInstance();
        return 1;
    }
    {
        // The sound system lives while the window does; it stops its streams before the
        // window's timers go.
        auto sound = std::make_unique<CSoundSystem>();
        sound->SetResourceLookup([](uint16_t id) { return FindNumberedResource(id); });
        sound->InitializeSound();
        SetProgramSound(sound.get());
        app->ShowStartScreen();
        IMWindow::Run(app->mainWindow);
        // The screens go before the sounds they hold ids of.
        SetProgramSound(nullptr);
        sound.reset();
    }
    App::ReleaseInstance();
    return 0;
}
