// The portable rules of the file helpers: write pieces, drive roots, path joining and the
// self-deletion script.
#include "payload/Files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Files, WriteChunkSize) {
  struct Case {
    std::int64_t total, expected;
  } cases[] = {
      {0, 0},
      {500, 500},
      {1024, 1024},
      {5000, 1024},
      {10000, 1024},
      {10240, 1024},
      {10250, 1025},
      {1048577, 104857},
      {5 * 1048576, 524288},
      {10 * 1048576, 1048576},
      {50 * 1048576, 1048576},
  };
  for (const Case& c : cases) EXPECT_EQ(WriteChunkSize(c.total), c.expected) << c.total;
}

TEST(Files, DriveRootOf) {
  struct Case {
    const char* path;
    bool force;
    const char* expected;
  } cases[] = {
      {"", false, ""},
      {"", true, ""},
      {"d:", false, "D:\\"},
      {"e", false, "E:\\"},
      {"c:\\Temp\\SETUP_1", true, "C:\\"},
      {"c:\\Temp\\SETUP_1", false, "c:\\Temp\\SETUP_1"},
      {"C:\\a\\b\\c\\file.txt", false, "C:\\a\\b\\c"},
      {"C:/a/b", false, "C:\\a\\b"},
      {"\\\\server\\share\\folder\\file.exe", false, "\\\\server\\share"},
      {"//server/share/folder/file.exe", false, "\\\\server\\share"},
      {"\\\\server\\share", false, "\\\\server\\share"},
      {"\\\\server\\share\\", false, "\\\\server\\share"},
      {"\\\\server\\share\\folder", true, "\\:\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DriveRootOf(c.path, c.force), c.expected) << c.path << " force=" << c.force;
  }
}

TEST(Files, JoinPath) {
  EXPECT_EQ(JoinPath("C:\\", "a.txt"), "C:\\a.txt");
  EXPECT_EQ(JoinPath("C:\\x", "a.txt"), "C:\\x\\a.txt");
  EXPECT_EQ(JoinPath("C:\\x\\", "a.txt"), "C:\\x\\a.txt");
  EXPECT_EQ(JoinPath("", "a.txt"), "a.txt");
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
  return lines;
}

TEST(Files, DeleteMeScript) {
  const std::string program = "C:\\Prog\\X_agent.exe";
  const std::string script = "C:\\Temp\\_DEL_ME_.BAT";
  EXPECT_EQ(Lines(DeleteMeScript(program, "C:\\Prog", script, false)),
            (std::vector<std::string>{":START", "DEL /F \"C:\\Prog\\X_agent.exe\"",
                                      "IF exist \"C:\\Prog\\X_agent.exe\" GOTO START",
                                      "DEL \"C:\\Temp\\_DEL_ME_.BAT\""}));
  EXPECT_EQ(Lines(DeleteMeScript(program, "C:\\Prog", script, true)),
            (std::vector<std::string>{":START", "DEL /F \"C:\\Prog\\X_agent.exe\"",
                                      "IF exist \"C:\\Prog\\X_agent.exe\" GOTO START",
                                      "RD \"C:\\Prog\"", "DEL \"C:\\Temp\\_DEL_ME_.BAT\""}));
}

TEST(Files, BatchQuotedKeepsPercentLiteral) {
  struct Case {
    const char* path;
    const char* expected;
  } cases[] = {
      {"C:\\plain", "\"C:\\plain\""},
      {"C:\\50%PATH%off\\a.exe", "\"C:\\50%%PATH%%off\\a.exe\""},
      {"C:\\%%\\a.exe", "\"C:\\%%%%\\a.exe\""},
      {"C:\\a & b ^c !d!", "\"C:\\a & b ^c !d!\""},
      {"", "\"\""},
  };
  for (const Case& c : cases) EXPECT_EQ(BatchQuoted(c.path), c.expected) << c.path;
  const std::string text =
      DeleteMeScript("C:\\100%\\Y_s.exe", "C:\\100%", "C:\\T%\\_DEL_ME_.BAT", true);
  EXPECT_EQ(text.find("100%\\"), std::string::npos) << "no single % survives: " << text;
  EXPECT_NE(text.find("RD \"C:\\100%%\""), std::string::npos) << text;
  EXPECT_NE(text.find("DEL \"C:\\T%%\\_DEL_ME_.BAT\""), std::string::npos) << text;
}

}  // namespace
