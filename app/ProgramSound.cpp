#include "app/ProgramSound.h"

#include "sound/SoundSystem.h"

namespace {
CSoundSystem* programSound = nullptr;
}

CSoundSystem* ProgramSound() { return programSound; }

void SetProgramSound(CSoundSystem* system) { programSound = system; }

bool PlayProgramSound(const wchar_t* name)
{
    if (programSound == nullptr || name == nullptr)
        return false;
    const uint32_t id = programSound->CreateSound(name);
    if (id == 0)
        return false;
    return programSound->PlaySound(id, false);
}
