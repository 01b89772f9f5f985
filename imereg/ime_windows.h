// The programs in which the IME is loaded right now, found by the windows
// of its user-interface class.
#pragma once

#include <cstddef>

// Where the message is put together in the work buffer, in UTF-16
// characters from its start: the message itself at 0, the line being built
// and the list of lines further on.
constexpr std::size_t kInUseLineAt = 131072;
constexpr std::size_t kInUseListAt = 139520;

// Counts the top-level windows of class "UIVEMO" into g_ime.windowsInUse.
// When there are any, leaves in the work buffer a zero-terminated UTF-16
// message that lists, numbered, the titles of the programs they belong to.
void CountImeWindowsInUse();
