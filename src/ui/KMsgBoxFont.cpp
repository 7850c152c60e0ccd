// KMsgBoxFont: the font every message box of the run uses.
#include "ui/KMsgBoxFont.h"

namespace {

MessageBoxFontSettings settings;

}  // namespace

void SetMessageBoxFont(const std::string& faceName, int pointSize, int charset) {
  settings.faceName = faceName;
  settings.charset = charset;
  if (pointSize != 0) settings.pointSize = pointSize;
}

const MessageBoxFontSettings& MessageBoxFont() {
  return settings;
}

void ResetMessageBoxFont() {
  settings = MessageBoxFontSettings{};
}
