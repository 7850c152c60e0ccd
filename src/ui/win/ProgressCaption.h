// ProgressCaption: the caption line above the progress bars, in the language's font and direction.
#pragma once

#include <windows.h>

#include <string>

// Right-to-left, right-aligned for charsets 177 and 178, else left-aligned; a new font of the
// given face, size and charset (the previous caption font is released); the caption as text.
void SetProgressCaption(HWND label, const std::string& caption, const std::string& faceName,
                        int charset, int pointSize);
// Gives the label a font the caption module then owns (the main window's first font goes here).
void SetCaptionFont(HWND label, HFONT font);
