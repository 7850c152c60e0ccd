// ProcessFacts: who is running (process and thread id, program file), one implementation per
// platform so that the trace stream and the agent log stay portable.
#pragma once

#include <cstdint>
#include <string>

std::uint32_t CurrentProcessId();
std::uint32_t CurrentThreadId();
// The full path of the running program's file as the system reports it; empty when unknown.
std::string ProgramFullPath();
