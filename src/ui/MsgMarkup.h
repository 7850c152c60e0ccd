// MsgMarkup: the small markup language of message-box texts (line breaks, tabs, bold runs) and
// the bold heading that mode-0 boxes put above their text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Characters from start up to (not including) end of the final text are bold; 0-based offsets.
struct BoldRange {
  std::uint16_t start = 0;
  std::uint16_t end = 0;
  bool operator==(const BoldRange&) const = default;
};

// The markup as the text control receives it: the plain text and its bold runs in order.
struct RenderedMarkup {
  std::string text;
  std::vector<BoldRange> bold;
};

// Bold offsets are 16-bit, so longer texts are cut to this many characters before the bold tags
// are taken out (the rich-edit control holds less than that anyway).
constexpr std::size_t kMaxMarkupText = 0xFFFF;

// "\\n" (two backslashes, n) and "<P>" become CR LF, "\\t" and "<T>" a TAB; the backslash forms
// are case-sensitive, the tags are not.
std::string ExpandMarkupEscapes(const std::string& text);

// Takes the "<B>" ... "</B>" tags (any letter case) out of text and returns the bold runs. An
// opening tag without a later closing tag is dropped without a run, and so is every closing tag
// left over; a closing tag standing before the next opening tag keeps that pair from being bold.
// Each removal moves the rest of the text, so callers keep texts within kMaxMarkupText
// (RenderMarkup does).
std::vector<BoldRange> ExtractBoldRanges(std::string& text);

// The mode-0 text: the caption as a bold heading, an empty line, the text and a line end. The
// caption is upper-cased when it is a piece of the default caption list
// "|Error|Attention|Confirm|".
std::string HeadingMarkup(const std::string& caption, const std::string& text);

// Escapes expanded, a leading "<<b>" reduced to "<b>", the bold tags taken out.
RenderedMarkup RenderMarkup(const std::string& text);
