// The tvz subcommands. Each takes its arguments after the subcommand name
// and returns the process exit code: 0 good, 1 failed, 2 bad usage.
#pragma once

#include <string>
#include <vector>

using Args = std::vector<std::string>;

int PackCommand(const Args& args);
int ListCommand(const Args& args);
int VerifyCommand(const Args& args);
int ExtractCommand(const Args& args);

// True when args ask for help; shared by the subcommands.
bool WantsHelp(const Args& args);
