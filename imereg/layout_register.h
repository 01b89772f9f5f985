// Writing the IME's keyboard-layout key and preload entry directly, for
// when the system installer gives no layout.
#pragma once

#include <cstddef>

// Room for one sub key name of Keyboard Layouts: 199 characters and a zero.
constexpr std::size_t kLayoutNameSize = 200;
// The name table starts with this many slots and grows when Keyboard
// Layouts holds more sub keys, so that no layout key is left unseen.
constexpr std::size_t kNameTableSlots = 250;

// Finds or makes the IME's layout key under HKLM Keyboard Layouts (a key of
// an earlier install whose language part does not fit the code page is
// replaced), writes its three values and adds it to the user's preload
// list. Reports failures in message boxes.
void RegisterLayoutManually();

// The preload step on its own: puts the layout key's name into the current
// user's preload list unless it is there already.
void AddPreloadEntry(const char* layoutName);
