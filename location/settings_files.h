// The small files the setup program writes into the install directory for
// the installed product, and the version patch of module files.
#pragma once

#include <windows.h>

#include <cstddef>

constexpr std::size_t kSiteTextSize = 100;  // 99 characters and a zero byte

// The two web-site addresses of the site-address page.
struct SiteAddresses {
  char unitSite[kSiteTextSize] = {};
  char governmentSite[kSiteTextSize] = {};
};

extern SiteAddresses g_sites;

// Writes wbpybz.tvh (the edition) and tvnetsj.dat (the addresses and the
// constant settings) into the install directory.
void WriteSettingsFiles();

// Shows the addresses stored in tvnetsj.dat in the two fields; both empty
// when the file cannot be read.
void LoadSiteAddresses(HWND unitField, HWND governmentField);

// Stores the chosen status-window mode in tvszsj43.tvh, unless the user
// keeps the earlier data.
void WriteStatusWindowRecord();

// Rewrites the version text inside a module file to 7.3. Files that cannot
// be read whole into the work buffer's first 128 KiB are left alone.
void PatchVersionText(const char* path);
