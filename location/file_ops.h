// Replacing files that may be read-only or held open by a running program.
#pragma once

// Clears the file's attributes and deletes it. 0 when it is gone or could
// not be opened at all; -1 when it exists and can be read but not deleted.
int DeleteForReplace(const char* path);

// Moves a file that cannot be deleted to its near name (the fifth character
// from the end becomes '2', then '1'). 0 when moved, -1 when not.
int RenameAside(const char* path);

// True when the path names an existing file or directory.
bool PathExists(const char* path);

// True when name is a bare file name as the file system reads it in the
// system code page: not empty, no drive, no directory part, not "." or "..".
// Archive member names must be, or they could write outside the install
// directory.
bool IsPlainFileName(const char* name);
