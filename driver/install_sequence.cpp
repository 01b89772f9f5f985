#include "driver/install_sequence.h"

#include "driver/run_state.h"
#include "location/install_dir.h"

void RunInstallSequence() {
  // The steps of the installation land here one by one as their parts of
  // the program are built; for now the directory is settled and stored.
  if (g_run.setupMode == 3) ResolveInstallDirectory();
  PersistInstallDirectory();
}
