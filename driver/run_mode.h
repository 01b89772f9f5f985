// How the command line chooses what a run does. Pure functions over the
// argument text, so the decision for machines we cannot start here (32-bit
// Windows, both tokens at once) is tested directly.
#pragma once

#include <cstddef>

enum class RunMode { Interactive, Silent, Registration };

// The setup modes kept for the rest of the run.
constexpr int kSetupModeInteractive = 2;
constexpr int kSetupModeSilent = 3;

struct CommandTokens {
  bool registration;  // "regtv32" anywhere, any case
  int setupMode;      // 3 for "settvsrf32" without "regtv32", else 2
};

CommandTokens ReadCommandTokens(const char* args);

// The run mode once the 64-bit test has been made: the registration token
// counts only on 64-bit Windows; otherwise the setup mode decides.
RunMode ChooseRunMode(const CommandTokens& tokens, bool windows64);

// The value behind "regtv32=" when the first 'r' of the argument text starts
// that exact token. Writes it with its zero byte into out and returns true;
// returns false (out untouched) when there is no such value or when it would
// not fit in cap bytes together with the closing backslash it may need.
bool ParseDirectoryArgument(const char* args, char* out, std::size_t cap);
