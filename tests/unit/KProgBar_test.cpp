// Tests for the progress display's arithmetic and the relay's forwarding.
#include "ui/KProgBar.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(KProgBar, MainBarMaximumKeepsTheLow16Bits) {
  struct Case {
    std::int64_t maximum;
    std::uint16_t want;
  } cases[] = {{0, 0}, {10, 10}, {65535, 65535}, {65536, 0}, {70000, 4464}, {-1, 65535}};
  for (const auto& c : cases) EXPECT_EQ(progress::MainBarMaximum(c.maximum), c.want) << c.maximum;
}

TEST(KProgBar, ActivityCounterCyclesThroughSixPositions) {
  int counter = 0;
  std::vector<int> seen;
  for (int i = 0; i < 7; ++i) seen.push_back(counter = progress::NextActivity(counter));
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 0, 1}));
  EXPECT_EQ(progress::NextActivity(-3), 0) << "a stray value restarts the cycle";
  EXPECT_EQ(progress::NextActivity(99), 0);
}

struct Call {
  int kind, ignored;
  std::int64_t maximum, position, step;
  std::string text;
  bool operator==(const Call&) const = default;
};
std::vector<Call> calls;

void Record(int kind, int ignored, std::int64_t maximum, std::int64_t position, std::int64_t step,
            const std::string& text) {
  calls.push_back({kind, ignored, maximum, position, step, text});
}

TEST(KProgBar, RelayForwardsToItsProcedure) {
  calls.clear();
  TProgBar relay(&Record);
  relay.SetRange(3, 70000);
  relay.StepIt();
  EXPECT_EQ(calls, (std::vector<Call>{{progress::kSet, 0, 70000, 3, 1, ""},
                                      {progress::kStep, 0, 0, 0, 0, ""}}));
  TProgBar none(nullptr);
  none.SetRange(0, 1);  // nothing to call: nothing happens
  none.StepIt();
  EXPECT_EQ(calls.size(), 2u);
}

}  // namespace
