// Keeping the user's own data across an upgrade: packed into tavoback.tvz
// before anything is installed, brought back when the user asks.
#pragma once

constexpr char kBackupArchiveName[] = "tavoback.tvz";

// Rebuilds the backup archive from the user's data files in the install
// directory. 1 when every required file went in, else 0.
int BackupUserData();

// Appends one file as a new member of a hashed archive (created when
// missing). 1 when it was appended; 0 leaves the archive's members as they
// were.
int AppendArchiveMember(const char* archivePath, const char* filePath);

// Writes the backed-up files back over the installed ones, checks them and
// tells the user the outcome.
void RestoreUserData();
