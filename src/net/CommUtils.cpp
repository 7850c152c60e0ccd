// CommUtils: the HTML error-page check (see CommUtils.h).
#include "net/CommUtils.h"

#include <fstream>
#include <initializer_list>

#include "util/Utils.h"

namespace {

// Each position is above 0 and above the one before it.
bool InOrder(std::initializer_list<std::size_t> positions) {
  std::size_t previous = 0;
  for (const std::size_t p : positions) {
    if (p <= previous) return false;
    previous = p;
  }
  return true;
}

// The file's first bytes; false when it cannot be opened (a missing file falls back to the text).
bool ReadHead(const std::string& fileName, std::string& head) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return false;
  head.assign(kHtmlCheckLength, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  return true;
}

}  // namespace

bool IsHtmlErrorPage(const std::string& text) {
  const std::string head = text.substr(0, kHtmlCheckLength);
  const std::size_t closeTitle = PosText("</TITLE>", head);
  return InOrder({PosText("<TITLE", head), PosText("404", head), closeTitle}) ||
         InOrder({PosText("<HTML>", head), PosText("<HEAD>", head), PosText("<TITLE>", head),
                  closeTitle});
}

std::string HtmlNotFoundText(const std::string& url) {
  return "<B>404 File Not Found...</B><P><P>URL:  " + url + "." +
         "<P><P>Please make sure the file is available and access is allowed to this file.";
}

bool CheckHtmlErrorPage(const std::string& fileName, const std::string& memoryText,
                        const std::string& url, std::string& error, const std::string& fallback) {
  std::string head;
  if (fileName.empty() || !ReadHead(fileName, head)) head = memoryText.substr(0, kHtmlCheckLength);
  if (IsHtmlErrorPage(head)) {
    error = HtmlNotFoundText(url);
    return true;
  }
  if (!fallback.empty()) error = fallback;
  return false;
}
