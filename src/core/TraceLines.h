// TraceLines: puts the pieces a debug viewer receives back together into whole trace lines.
#pragma once

#include <string>
#include <vector>

class TraceLineAssembler {
 public:
  // Adds one piece; returns the lines it completed, without their line feeds.
  std::vector<std::string> Add(const std::string& piece);
  // Text received since the last line end.
  const std::string& Pending() const { return pending_; }

 private:
  std::string pending_;
};
