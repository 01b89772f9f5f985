// The setup window: the program's only window, with its pages.
#pragma once

#include <windows.h>

// Registers the window class "installWClass"; 0 on failure.
ATOM RegisterSetupWindowClass(HINSTANCE instance);

// Creates and shows the setup window; 1 on success, 0 on failure.
int CreateSetupWindow(HINSTANCE instance, int show);

LRESULT CALLBACK SetupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Reads the two site fields; on the loading page moves on to the site page,
// on the site page leaves it for the install-path page.
void AcceptSiteAddresses();
