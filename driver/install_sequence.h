#pragma once

// The installation proper, from the install directory to the last registry
// entry; used by the silent install and by the setup window's install click.
void RunInstallSequence();
