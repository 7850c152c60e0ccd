// Tests for the HTML error-page check, over texts and over files.
#include "net/CommUtils.h"

#include <gtest/gtest.h>

#include "TempDir.h"

namespace {

TEST(CommUtils, ErrorPageForms) {
  struct Case {
    const char* name;
    std::string text;
    bool page;
  } cases[] = {
      {"title with 404", "<html><title>404 Not Found</title></html>", true},
      {"TITLE tag with attributes", "<TITLE lang=en>Error 404</TITLE>", true},
      {"404 after the title", "<title>Missing</title> 404", false},
      {"404 before the title", "404 <title>Missing</title>", false},
      {"html head title order", "<HTML><HEAD><TITLE>Gone</TITLE></HEAD></HTML>", true},
      {"lower case order", "<html>\n<head>\n<title>Oops</title>", true},
      {"head before html", "<head><html><title>x</title>", false},
      {"html with attributes is not <HTML>", "<html lang=en><head><title>x</title>", false},
      {"title never closed", "<html><head><title>404", false},
      {"binary", std::string("MZ\x90\0\3\0\0\0", 8) + "PE", false},
      {"empty", "", false},
      {"404 title beyond the first 1000 characters", std::string(1000, ' ') + "<title>404</title>",
       false},
      {"404 title ending at character 1000", std::string(1000 - 18, ' ') + "<title>404</title>",
       true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsHtmlErrorPage(c.text), c.page) << c.name;
}

TEST(CommUtils, CheckSetsThe404TextOrTheFallback) {
  const std::string page = "<html><title>404</title>";
  const std::string want404 =
      "<B>404 File Not Found...</B><P><P>URL:  http://h/Setup.exe.<P><P>Please make sure the "
      "file is available and access is allowed to this file.";
  struct Case {
    const char* name;
    std::string memory;
    std::string fallback;
    bool page;
    std::string error;  // starts as "before"
  } cases[] = {
      {"page", page, "Bad Secret Token!", true, want404},
      {"page without fallback", page, "", true, want404},
      {"other text, fallback", "hello", "Bad Secret Token!", false, "Bad Secret Token!"},
      {"other text, no fallback: left alone", "hello", "", false, "before"},
  };
  for (const Case& c : cases) {
    std::string error = "before";
    EXPECT_EQ(CheckHtmlErrorPage("", c.memory, "http://h/Setup.exe", error, c.fallback), c.page)
        << c.name;
    EXPECT_EQ(error, c.error) << c.name;
  }
}

TEST(CommUtils, AFileIsReadWhenItExistsElseTheText) {
  payload_test::TempDir dir;
  const std::string pageFile = dir.Write("page.htm", "<HTML><HEAD><TITLE>x</TITLE>");
  const std::string binFile = dir.Write("bin.exe", "MZ not a page");
  const std::string lateFile = dir.Write("late.htm", std::string(1200, 'x') + "<title>404</title>");
  struct Case {
    const char* name;
    std::string file;
    std::string memory;
    bool page;
  } cases[] = {
      {"page file, harmless text", pageFile, "hello", true},
      {"binary file, page text: the file decides", binFile, "<title>404</title>", false},
      {"missing file: the text decides", dir.File("none.htm"), "<title>404</title>", true},
      {"page beyond the first 1000 bytes", lateFile, "", false},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(CheckHtmlErrorPage(c.file, c.memory, "u", error, "fallback"), c.page) << c.name;
  }
}

}  // namespace
