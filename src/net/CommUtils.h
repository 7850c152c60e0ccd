// CommUtils: telling an HTML error page from a real download, for files and for texts fetched
// into memory.
#pragma once

#include <cstddef>
#include <string>

// How much of a download the check looks at.
constexpr std::size_t kHtmlCheckLength = 1000;

// The first kHtmlCheckLength characters of text hold, comparing first occurrences and ignoring
// ASCII case, either "<TITLE" before "404" before "</TITLE>", or "<HTML>" before "<HEAD>" before
// "<TITLE>" before "</TITLE>".
bool IsHtmlErrorPage(const std::string& text);

// "<B>404 File Not Found...</B>..." with url, in the message-box markup.
std::string HtmlNotFoundText(const std::string& url);

// Tests the first bytes of fileName when it is given and can be read, else memoryText. An error
// page sets error to HtmlNotFoundText(url) and returns true; anything else sets error to fallback
// when fallback is not empty (else leaves it) and returns false.
bool CheckHtmlErrorPage(const std::string& fileName, const std::string& memoryText,
                        const std::string& url, std::string& error, const std::string& fallback);
