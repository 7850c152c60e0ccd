// AgentListener: the window that asked ("wm_LocalMsg") to hear about the agent's progress.
#include <windows.h>

#include "agent/AgentSteps.h"

namespace {

HWND listenerWindow = nullptr;
UINT listenerMessage = 0;

}  // namespace

void RegisterListener(std::uintptr_t window, std::uint32_t message) {
  listenerWindow = reinterpret_cast<HWND>(window);
  listenerMessage = message;
}

void NotifyListener(std::uintptr_t first, std::intptr_t second) {
  if (listenerWindow == nullptr || listenerMessage == 0) return;
  PostMessageA(listenerWindow, listenerMessage, first, second);
}
