// TraceLines: puts the pieces a debug viewer receives back together into whole trace lines.
#include "core/TraceLines.h"

std::vector<std::string> TraceLineAssembler::Add(const std::string& piece) {
  std::vector<std::string> lines;
  for (char c : piece) {
    if (c == '\n') {
      lines.push_back(std::move(pending_));
      pending_.clear();
    } else {
      pending_ += c;
    }
  }
  return lines;
}
