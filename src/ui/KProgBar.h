// KProgBar: the one progress procedure that drives the main window's two bars (a main bar that
// counts entries or chunks, a small activity bar that cycles), and the relay the HTTP client uses.
#pragma once

#include <cstdint>
#include <string>

namespace progress {

constexpr int kSet = 0;   // range, position and step of the main bar; the activity bar restarts
constexpr int kStep = 1;  // one step of both bars
constexpr int kActivityMax = 5;

// The main bar's range travels as a 16-bit value: the low 16 bits of maximum.
std::uint16_t MainBarMaximum(std::int64_t maximum);
// The activity counter after one more step: 1, 2, 3, 4, 5, 0, 1, ...
int NextActivity(int counter);

}  // namespace progress

// kind, ignored, maximum, position, step, text (the text is not shown).
using ProgressCallback = void (*)(int kind, int ignored, std::int64_t maximum,
                                  std::int64_t position, std::int64_t step,
                                  const std::string& text);

// Drives the bars attached by the main window; other kinds, or no bars, do nothing.
void ProgressProc(int kind, int ignored, std::int64_t maximum, std::int64_t position,
                  std::int64_t step, const std::string& text);
// The activity counter as it stands (process-wide, starts at 0).
int ActivityCounter();

// The relay the HTTP client drives: each call becomes one call of its progress procedure.
class TProgBar {
 public:
  explicit TProgBar(ProgressCallback procedure) : procedure_(procedure) {}
  // procedure(kSet, 0, maximum, position, 1, "")
  void SetRange(std::int64_t position, std::int64_t maximum);
  // procedure(kStep, 0, 0, 0, 0, "")
  void StepIt();
  // Pumps the message queue once (YieldWait(0, 0)).
  void Idle();

 private:
  ProgressCallback procedure_;
};

// The process's relay, made on first need with ProgressProc.
TProgBar& ProgBar();
