// The system facts behind the text, number and date helpers, read from Windows itself.
#include "util/Utils.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "util/SysFacts.h"

namespace {

TEST(WinUtils, LocaleFacts) {
  const std::string sep = SysFacts::DecimalSeparator();
  ASSERT_FALSE(sep.empty());
  EXPECT_EQ(FixedText(1.5, 1), "1" + sep + "5");
  EXPECT_EQ(FixedText(2.0, 0), "2");
  const SysFacts::DateLocale loc = SysFacts::UserDateLocale();
  EXPECT_FALSE(loc.dateSeparator.empty());
  EXPECT_FALSE(loc.timeSeparator.empty());
  for (const auto& month : loc.longMonthNames) EXPECT_FALSE(month.empty());
  EXPECT_NE(loc.longMonthNames[0], loc.longMonthNames[11]);
  EXPECT_FALSE(IsLeadByte('A'));
  EXPECT_FALSE(IsLeadByte('\\'));
}

TEST(WinUtils, MillisecondClockRunsInMilliseconds) {
  const std::int64_t a = MillisecondClock();
  const DWORD t0 = GetTickCount();
  Sleep(100);
  const std::int64_t b = MillisecondClock();
  const DWORD t1 = GetTickCount();
  EXPECT_GE(b - a, 90);
  EXPECT_LE(std::llabs((b - a) - static_cast<std::int64_t>(t1 - t0)), 40);
  EXPECT_GE(MillisecondClock(), b);
}

TEST(WinUtils, NowMatchesLocalTime) {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  const DateTimeParts p{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, 0};
  double local = 0;
  ASSERT_TRUE(TryEncodeDateTime(p, local));
  EXPECT_LE(std::llabs(NowSeconds() - std::llround(local * 86400.0)), 2);
}

TEST(WinUtils, RandomRepeatsWithinOneTick) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const DWORD t0 = GetTickCount();
    const std::int64_t a = RandomInRange(0, 1000000000);
    const std::int64_t b = RandomInRange(0, 1000000000);
    if (GetTickCount() != t0) continue;
    EXPECT_EQ(a, b);
    return;
  }
  GTEST_SKIP() << "the tick changed during every attempt";
}

}  // namespace
