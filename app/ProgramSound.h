#pragma once
// The program's sound system as the screens and the game reach it. Null when none was set
// up: sounds are then skipped, everything else carries on.

class CSoundSystem;

CSoundSystem* ProgramSound();
// Installs `system` (not owned) as the program's sound system; null removes it.
void SetProgramSound(CSoundSystem* system);
// Opens the sound `name` (a decimal resource number or a file) and plays it once. False when
// there is no sound system or the sound could not be opened.
bool PlayProgramSound(const wchar_t* name);
