// Registry access shared by the IME registration code: keys opened into
// RegKey holders, and 8-bit texts read so that no value, whatever its size
// or lack of a terminating zero, runs past the buffer it is read into.
#pragma once

#include <windows.h>

#include "imereg/layout_rules.h"
#include "location/holders.h"

constexpr char kKeyboardLayoutsKey[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";

// RegOpenKeyExA; key holds the handle only when it succeeds.
bool OpenRegKey(HKEY parent, const char* path, REGSAM access, RegKey* key);
// RegCreateKeyExA with KEY_ALL_ACCESS (opens the key when it exists).
bool CreateRegKey(HKEY parent, const char* path, RegKey* key);

// Reads value name (nullptr: the default value) as a zero-terminated text
// into buf of cap bytes. The read fails, as one into a too small buffer
// does, when the value with its terminating zero needs cap bytes or more;
// buf is then "".
bool QueryRegText(HKEY key, const char* name, char* buf, DWORD cap);

// Writes text as REG_SZ with its length in bytes, without the terminating
// zero. nullptr names the default value.
LONG SetRegTextValue(HKEY key, const char* name, const char* text);

// The Windows family this program runs on.
WinFamily CurrentFamily();
