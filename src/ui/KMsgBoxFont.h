// KMsgBoxFont: the font every message box of the run uses (face name, point size, character set),
// set from the language block at start and from the agent's settings.
#pragma once

#include <string>

struct MessageBoxFontSettings {
  std::string faceName = "Tahoma";
  int pointSize = 8;
  int charset = 1;  // the system's default character set
};

// Stores the face name and the character set; the point size only when it is not 0.
void SetMessageBoxFont(const std::string& faceName, int pointSize, int charset);
const MessageBoxFontSettings& MessageBoxFont();
// Back to the start values (tests act as a new run).
void ResetMessageBoxFont();
