// AgentSteps: what the program shell asks of the update agent: which copy of the agent this run
// is, its start and control steps, its timer tick and its listener notifications.
#pragma once

#include <cstdint>
#include <string>

// ---- Which copy is running (answers from the own file and the open windows) ----------------

// An agent build running under the agent file name of its parameter block.
bool ThisIs_Plain_AutoUpdate_Exe();
// An agent build running under "X_" followed by the agent file name.
bool ThisIs_X_AutoUpdate_Exe();
// A working copy's main window is open.
bool X_ExeIsRunning();

// ---- Steps of the agent's copies and cycle ------------------------------------------------

// Plain agent: makes and starts the working copy.
void CreateAndRun_X_Exe();
// Plain agent: forwards "/STOP=", "/WM_MSG=" and "/TEST=" to the running copy; true when it sent
// anything.
bool HandleParamOK(bool workingCopyWasRunning);
// The test-mode check; returns whether test mode is on.
bool CheckTestMode(bool forced);
// Working copy: takes the "/TRANSIENTx=" list into its transient settings.
void TakeTransientList(const std::string& list);
// One beat of the agent's timer.
void AgentTick();
// "/SleepX=": the tick counter starts at this value instead of -3.
void SetAutoUpdateTimerCount(std::int32_t count);
// "wm_ShutDown" (1123): ticks left before the agent quits.
void SetStopCountdown(std::int32_t ticks);
// "wm_AgentMsg" (1125): runs one agent command; its result is the message's result.
std::int32_t RunAgentCommand(std::int32_t command, std::int32_t value);

// ---- Listener ("wm_LocalMsg", 1124) --------------------------------------------------------

constexpr std::uint32_t kAgentCommandMessage = 1125;

// Registers the window and message number that receive the agent's notifications.
void RegisterListener(std::uintptr_t window, std::uint32_t message);
// Posts (first, second) to the listener when both its window and its message are set.
void NotifyListener(std::uintptr_t first, std::intptr_t second);
