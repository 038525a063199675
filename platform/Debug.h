#pragma once
// Diagnostic output: one line on standard error per call (a trailing newline is added
// only when the text lacks one). Thread-safe.

#include <string>
#include <string_view>

void DebugOutput(std::wstring_view text);
void DebugOutput(std::string_view utf8);
