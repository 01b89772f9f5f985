#include <windows.h>

#include "driver/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR args, int show) {
  return SetupMain(instance, previous, args, show);
}
