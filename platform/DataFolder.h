#pragma once
// The folder where the program keeps data shared between its runs: $XDG_DATA_HOME when it
// holds an absolute path, else ~/.local/share (home from $HOME, else the password database).

#include <filesystem>

// The data folder, created with its parents when missing; empty when there is no home or the
// folder cannot be created.
std::filesystem::path CommonDataFolder();
