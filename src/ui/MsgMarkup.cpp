// MsgMarkup: expands the escapes of a message-box text and takes its bold tags out.
#include "ui/MsgMarkup.h"

#include <algorithm>

#include "ui/KMsgBoxOptions.h"
#include "util/Utils.h"

namespace {

constexpr const char* kOpenTag = "<B>";
constexpr std::size_t kOpenLen = 3;
constexpr const char* kCloseTag = "</B>";
constexpr std::size_t kCloseLen = 4;

char Fold(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The tag (given in upper case) stands at pos, in any letter case.
bool TagAt(const std::string& text, std::size_t pos, const char* tag, std::size_t tagLen) {
  if (pos > text.size() || text.size() - pos < tagLen) return false;
  for (std::size_t i = 0; i < tagLen; ++i)
    if (Fold(text[pos + i]) != tag[i]) return false;
  return true;
}

std::size_t FindTag(const std::string& text, const char* tag, std::size_t tagLen,
                    std::size_t from) {
  for (std::size_t at = text.find('<', from); at != std::string::npos; at = text.find('<', at + 1))
    if (TagAt(text, at, tag, tagLen)) return at;
  return std::string::npos;
}

std::size_t Back(std::size_t pos, std::size_t by) {
  return pos > by ? pos - by : 0;
}

// Where the first tag of the text may start after count characters were cut at pos, when none
// started before from until then. Only the few places spanning the cut can hold a new tag; what
// lay behind the cut moved count places to the front.
std::size_t BoundAfterCut(const std::string& text, const char* tag, std::size_t tagLen,
                          std::size_t from, std::size_t pos, std::size_t count) {
  const std::size_t lo = Back(pos, tagLen - 1);
  if (from <= lo) return from;
  for (std::size_t s = lo; s < pos; ++s)
    if (TagAt(text, s, tag, tagLen)) return s;
  return std::max(pos, Back(from, count));
}

}  // namespace

std::string ExpandMarkupEscapes(const std::string& text) {
  // The four forms cannot overlap and what replaces them cannot form a new one, so one pass from
  // the left does what four replace-all passes in a row would do.
  std::string r;
  r.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char* put = nullptr;
    if (text[i] == '\\') {
      if (text.compare(i, 3, "\\\\n") == 0) put = "\r\n";
      if (text.compare(i, 3, "\\\\t") == 0) put = "\t";
    } else if (text[i] == '<') {
      if (TagAt(text, i, "<P>", 3)) put = "\r\n";
      if (TagAt(text, i, "<T>", 3)) put = "\t";
    }
    if (put == nullptr) {
      r += text[i++];
    } else {
      r += put;
      i += 3;
    }
  }
  return r;
}

std::vector<BoldRange> ExtractBoldRanges(std::string& text) {
  std::vector<BoldRange> ranges;
  // Every search looks for the first tag of the whole text. No tag starts before openFrom and no
  // closing tag before closeFrom, so the searches need not start at the beginning each time.
  std::size_t openFrom = 0;
  std::size_t closeFrom = 0;
  for (;;) {
    const std::size_t p = FindTag(text, kOpenTag, kOpenLen, openFrom);
    if (p == std::string::npos) break;
    text.erase(p, kOpenLen);
    openFrom = Back(p, kOpenLen - 1);
    closeFrom = BoundAfterCut(text, kCloseTag, kCloseLen, closeFrom, p, kOpenLen);
    const std::size_t q = FindTag(text, kCloseTag, kCloseLen, closeFrom);
    if (q == std::string::npos) {
      closeFrom = text.size();
      continue;
    }
    closeFrom = q;
    if (p < q) {
      text.erase(q, kCloseLen);
      closeFrom = BoundAfterCut(text, kCloseTag, kCloseLen, q, q, kCloseLen);
      // Offsets are 16-bit: a run beyond them cannot be told to the control.
      if (q <= 0xFFFF)
        ranges.push_back({static_cast<std::uint16_t>(p), static_cast<std::uint16_t>(q)});
    }
  }
  text = ReplaceAllText(text, kCloseTag, "");
  return ranges;
}

std::string HeadingMarkup(const std::string& caption, const std::string& text) {
  const bool known = PosStr(caption, msgbox::kDefaultWindowCaptions) != 0;
  const std::string heading = known ? UpperCase(caption) : caption;
  return "<<b>" + heading + "</b><P><P>" + text + "<P>";
}

RenderedMarkup RenderMarkup(const std::string& text) {
  RenderedMarkup r;
  r.text = ExpandMarkupEscapes(text);
  if (r.text.starts_with("<<b>")) r.text.erase(0, 1);
  if (r.text.size() > kMaxMarkupText) r.text.resize(kMaxMarkupText);
  r.bold = ExtractBoldRanges(r.text);
  return r;
}
