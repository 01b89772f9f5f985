#include "ui/window_objects.h"

WindowObjects g_ui;

void CreateWindowObjects() {}

void DeleteWindowObjects() {}
