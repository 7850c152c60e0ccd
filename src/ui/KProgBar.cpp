// KProgBar: the arithmetic of the progress display and the relay's forwarding.
#include "ui/KProgBar.h"

namespace progress {

std::uint16_t MainBarMaximum(std::int64_t maximum) {
  return static_cast<std::uint16_t>(static_cast<std::uint64_t>(maximum) & 0xFFFF);
}

int NextActivity(int counter) {
  return counter >= kActivityMax || counter < 0 ? 0 : counter + 1;
}

}  // namespace progress

void TProgBar::SetRange(std::int64_t position, std::int64_t maximum) {
  if (procedure_ != nullptr) procedure_(progress::kSet, 0, maximum, position, 1, std::string());
}

void TProgBar::StepIt() {
  if (procedure_ != nullptr) procedure_(progress::kStep, 0, 0, 0, 0, std::string());
}
