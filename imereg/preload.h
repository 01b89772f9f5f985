// The current user's preload list (the input methods loaded at logon, the
// first being the default), an earlier version of the IME in it, and
// switching the setup program to the newly installed IME.
#pragma once

#include "imereg/layout_rules.h"

constexpr std::size_t kPreloadTextSize = 200;

struct PreloadState {
  char ids[kPreloadSlots][kPreloadIdSize] = {};        // ids[k-1]: position k
  char texts[kPreloadSlots][kPreloadTextSize] = {};    // its "layout text"
  int count = 0;                                       // 0 to 49
  int earlierFlag = 0;      // 4 when an earlier version is in the list
  int earlierPosition = 0;  // its 1-based position, 0 when none
};

extern PreloadState g_preload;

// Fills the preload table from the registry; returns the count, 0 when a
// key needed cannot be opened.
int ReadPreloadList();

// Looks for an earlier version of the IME in the preload list (not on
// 64-bit Windows). 1 when found; sets the flag, position and count.
int FindEarlierVersion();

// 0 when the install must not go on: an earlier version is the default
// input method (the user may demote it) or the IME is the active layout.
// Shows its own messages.
int CheckDefaultImeBeforeInstall();

// Exchanges positions 1 and 2 of the list the last FindEarlierVersion read,
// in the user's list and, on NT, in the default profile's.
void SwapFirstPreloadEntries();

// On Windows XP and earlier, moves the IME found at position 3 or later up
// to position 2.
void MovePreloadEntryToSecond();

// On the finished page: switches the setup program to the installed IME,
// finding its layout among the loaded ones when the system installer gave
// none.
void ActivateInstalledIme();
