// Test driver for the archive operations: runs one of them in a fresh
// process so the end-to-end tests can watch its message boxes and files.
//   archive_driver extract ARCHIVE DIR      ExtractArchive of a whole file
//   archive_driver verify ARCHIVE DIR       VerifyArchive, no exclusions
//   archive_driver extract-file ARCHIVE DIR ExtractArchiveFile
//   archive_driver payload-check PAYLOAD DIR [keep]
//                                           VerifyPayloadAndInstallSkin
//   archive_driver backup DIR [EDITION]     BackupUserData
//   archive_driver append ARCHIVE FILE      AppendArchiveMember
//   archive_driver restore DIR              RestoreUserData
//   archive_driver upgrade PAYLOAD DIR      what an interactive install does
//                                           with the user's data: backup,
//                                           first deployment pass (extraction
//                                           and the keep question), restore
//   archive_driver first-pass PAYLOAD DIR   DeployImeModules(0) alone
//   archive_driver install PAYLOAD          RunInstallSequence as the silent
//                                           install runs it; prints the
//                                           restart-needed flag
//   archive_driver hold FILE MS [load]      keep a file open (or loaded)
// Results are printed as "RESULT: ..." lines.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "archive/backup.h"
#include "archive/extract.h"
#include "driver/deploy.h"
#include "driver/install_sequence.h"
#include "driver/run_mode.h"
#include "driver/run_state.h"
#include "location/install_dir.h"

namespace {

std::vector<unsigned char> ReadWhole(const char* path) {
  std::vector<unsigned char> data;
  FILE* f = std::fopen(path, "rb");
  if (!f) return data;
  unsigned char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
  std::fclose(f);
  return data;
}

void SetDirectory(const char* dir) {
  std::strncpy(g_location.dir, dir, kInstallDirSize - 1);
}

int Hold(const char* path, int ms, bool load) {
  HANDLE h = INVALID_HANDLE_VALUE;
  HMODULE m = nullptr;
  if (load) {
    m = LoadLibraryExA(path, nullptr, DONT_RESOLVE_DLL_REFERENCES);
  } else {
    h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  std::printf("RESULT: holding %d\n", (m != nullptr) || (h != INVALID_HANDLE_VALUE));
  std::fflush(stdout);
  Sleep(ms);
  if (m) FreeLibrary(m);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::string cmd = argv[1];
  std::vector<unsigned char> work(kWorkBufferSize, 0);
  g_run.work = work.data();
  g_run.workSize = work.size();
  g_run.instance = GetModuleHandleA(nullptr);
  g_machine.oemCodePage = GetOEMCP();

  if (cmd == "hold") return Hold(argv[2], std::atoi(argv[3]), argc > 4);
  if (cmd == "backup" || cmd == "restore") {
    SetDirectory(argv[2]);
    if (argc > 3) g_run.edition = std::atoi(argv[3]);
    if (cmd == "backup") {
      std::printf("RESULT: %d\n", BackupUserData());
    } else {
      RestoreUserData();
    }
    return 0;
  }
  if (cmd == "install") {
    std::vector<unsigned char> image = ReadWhole(argv[2]);
    g_run.payload = image.data();
    g_run.payloadSize = image.size();
    g_run.setupMode = kSetupModeSilent;
    g_run.restartNeeded = -1;
    RunInstallSequence();
    std::printf("RESULT: restart %d\n", g_run.restartNeeded);
    return 0;
  }
  if (argc < 4) return 2;
  if (cmd == "append") {
    std::printf("RESULT: %d\n", AppendArchiveMember(argv[2], argv[3]));
    return 0;
  }
  std::vector<unsigned char> image = ReadWhole(argv[2]);
  SetDirectory(argv[3]);
  if (cmd == "extract") {
    std::printf("RESULT: %d\n", ExtractArchive(image.data(), image.size(), work.data(), work.size()));
  } else if (cmd == "verify") {
    char report[4096];
    unsigned passed = VerifyArchive(image.data(), image.size(), report, sizeof report, "");
    std::printf("RESULT: %u [%s]\n", passed, report);
  } else if (cmd == "extract-file") {
    ExtractArchiveFile(argv[2]);
  } else if (cmd == "upgrade") {
    g_run.payload = image.data();
    g_run.payloadSize = image.size();
    g_run.oldDataState = BackupUserData() == 1 ? 1 : 0;
    DeployImeModules(0);
    if (g_run.oldDataState == 2) RestoreUserData();
    std::printf("RESULT: old data %d\n", g_run.oldDataState);
  } else if (cmd == "first-pass") {
    g_run.payload = image.data();
    g_run.payloadSize = image.size();
    DeployImeModules(0);
  } else if (cmd == "payload-check") {
    g_run.payload = image.data();
    g_run.payloadSize = image.size();
    if (argc > 4) g_run.oldDataState = 2;
    VerifyPayloadAndInstallSkin();
    std::printf("RESULT: mode %d skin %d\n", g_run.statusWindowMode, g_run.skinChoice);
  } else {
    return 2;
  }
  return 0;
}
