// ProcessSwitches: the switches of this process's own command line (Windows).
#pragma once

#include <cstdint>
#include <string>

#include "core/Switches.h"

// GetCommandLineA and the full path of the program file.
CommandLine OwnCommandLine();
std::string CommandArguments();
std::string GetSwitch(const std::string& name, const std::string& def);
std::int64_t GetSwitchInt(const std::string& name, std::int64_t def);
bool HasSwitch(const std::string& name);
