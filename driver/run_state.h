// What the whole run shares: the machine it runs on and where the install
// stands. One record each, set up at start and kept until the program ends.
#pragma once

#include <windows.h>

#include <cstddef>

struct MachineInfo {
  UINT oemCodePage = 0;          // GetOEMCP at start; 950 selects Big5 texts
  DWORD winMajor = 0;            // 5 = 2000/XP, 6 = Vista/7; 0 until measured
  char wow64Dir[MAX_PATH + 16] = {};  // "<windows>\syswow64" on Windows 6+
};

struct RunState {
  int page = 0;                  // setup window page number
  int setupMode = 2;             // 2 interactive, 3 silent
  int edition = 0;               // 0 Wubi, 1 Pinyin
  int oldDataState = 0;          // 0 none, 1 backed up, 2 user keeps it
  int restartNeeded = 0;         // 1 when the old module could not be moved
  unsigned char statusWindowMode = 1;  // options dialog: 1 to 4
  unsigned char skinChoice = 1;        // options dialog: 1 to 3
  HINSTANCE instance = nullptr;
  HWND setupWindow = nullptr;              // owner of the options dialog
  HWND installPathField = nullptr;         // the typed install directory
  const unsigned char* payload = nullptr;  // locked payload resource
  std::size_t payloadSize = 0;
  unsigned char* work = nullptr;           // the zero-filled work buffer
  std::size_t workSize = 0;
};

extern MachineInfo g_machine;
extern RunState g_run;

constexpr std::size_t kWorkBufferSize = 0x200000;
