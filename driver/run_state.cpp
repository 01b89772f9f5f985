#include "driver/run_state.h"

MachineInfo g_machine;
RunState g_run;
