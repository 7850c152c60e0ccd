// Tests for the trace stream: how writes are cut into the pieces a viewer receives.
#include "core/KDebug.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/TraceLines.h"

namespace {

std::vector<std::string> received;

void Collect(const std::string& piece) {
  received.push_back(piece);
}

std::vector<size_t> Sizes(const std::vector<std::string>& pieces) {
  std::vector<size_t> sizes;
  for (const auto& p : pieces) sizes.push_back(p.size());
  return sizes;
}

TEST(KDebug, LinesAreCutIntoPiecesOfAtMost128) {
  struct Case {
    const char* what;
    size_t textLength;
    std::vector<size_t> pieces;
  } cases[] = {
      {"empty line is one piece with the line feed", 0, {1}},
      {"short line", 10, {11}},
      {"127 characters fill the buffer with the line feed", 127, {128}},
      {"128 characters: the line feed travels alone", 128, {128, 1}},
      {"129 characters", 129, {128, 2}},
      {"300 characters", 300, {128, 128, 45}},
      {"256 characters", 256, {128, 128, 1}},
  };
  for (const auto& c : cases) {
    TraceStream stream;
    stream.SetSink(&Collect);
    received.clear();
    const std::string text(c.textLength, 'a');
    stream << text << EndLine;
    EXPECT_EQ(Sizes(received), c.pieces) << c.what;
    std::string joined;
    for (const auto& p : received) joined += p;
    EXPECT_EQ(joined, text + "\n") << c.what;
    EXPECT_EQ(received.back().back(), '\n') << c.what;
  }
}

TEST(KDebug, WritesOfOneLineShareTheBuffer) {
  TraceStream stream;
  stream.SetSink(&Collect);
  received.clear();
  stream << std::int64_t{-9223372036854775807 - 1} << " ==== X=" << true << ' ' << false << ' '
         << 42u << std::string(" tail") << EndLine;
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], "-9223372036854775808 ==== X=TRUE FALSE 42 tail\n");

  received.clear();
  stream << "a";
  stream << "b";
  EXPECT_TRUE(received.empty()) << "nothing is delivered before the line ends";
  stream.EndLine();
  EXPECT_EQ(received, std::vector<std::string>{"ab\n"});
}

TEST(KDebug, WithoutSinkPiecesAreDropped) {
  TraceStream stream;
  stream << std::string(500, 'x') << EndLine;  // no sink: nothing to do, nothing kept
  stream.SetSink(&Collect);
  received.clear();
  stream << "next" << EndLine;
  EXPECT_EQ(received, std::vector<std::string>{"next\n"});
}

TEST(KDebug, ClosingTheStreamDeliversWhatIsLeft) {
  received.clear();
  {
    TraceStream stream;
    stream.SetSink(&Collect);
    stream << "unfinished";
  }
  EXPECT_EQ(received, std::vector<std::string>{"unfinished"});
}

TraceStream* reentrantStream = nullptr;
int reentrantDepth = 0;

// A sink that traces while a piece is on its way, as a handler run by the send may do.
void ReentrantSink(const std::string& piece) {
  received.push_back(piece);
  if (reentrantDepth++ == 0) *reentrantStream << "inner" << EndLine;
}

TEST(KDebug, TracingDuringADeliveryStartsAFreshPiece) {
  TraceStream stream;
  reentrantStream = &stream;
  reentrantDepth = 0;
  stream.SetSink(&ReentrantSink);
  received.clear();
  stream << "outer" << EndLine;
  EXPECT_EQ(received, (std::vector<std::string>{"outer\n", "inner\n"}));
  stream << "after" << EndLine;
  EXPECT_EQ(received.back(), "after\n");
}

void ThrowingSink(const std::string&) {
  throw std::runtime_error("viewer gone");
}

TEST(KDebug, AFailingDeliveryIsSwallowedAndTheTextDiscarded) {
  TraceStream stream;
  stream.SetSink(&ThrowingSink);
  EXPECT_NO_THROW(stream << std::string(200, 'y') << EndLine);
  stream.SetSink(&Collect);
  received.clear();
  stream << "z" << EndLine;
  EXPECT_EQ(received, std::vector<std::string>{"z\n"});
}

TEST(KDebug, ExceptionLine) {
  struct Case {
    const char* routine;
    const char* extra;
    const char* message;
    const char* want;
  } cases[] = {
      {"YieldX", "", "Access violation", " --- YieldX() --- Access violation"},
      {"ReadIni", "Section", "bad", " --- ReadIni() --- Section --- bad"},
      {"", "", "", " --- () --- "},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TraceExceptionText(c.routine, c.extra, c.message), c.want) << c.routine;
}

TEST(TraceLines, PiecesBecomeLines) {
  TraceLineAssembler lines;
  EXPECT_TRUE(lines.Add(std::string(128, 'a')).empty());
  EXPECT_EQ(lines.Pending().size(), 128u);
  auto done = lines.Add("bc\n");
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0], std::string(128, 'a') + "bc");
  EXPECT_EQ(lines.Add("\n"), std::vector<std::string>{""});
  EXPECT_EQ(lines.Add("one\ntwo\nthr"), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(lines.Pending(), "thr");
}

}  // namespace
