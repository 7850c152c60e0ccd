// KMsgBoxLayout: measuring a message box's text and placing the box and its controls.
#include "ui/KMsgBoxLayout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "util/Utils.h"

namespace msgbox {

namespace {

int ClampToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, 0, std::numeric_limits<int>::max()));
}

}  // namespace

int LineHeight(int fontHeight, int externalLeading, const std::string& faceName) {
  return fontHeight + externalLeading + (SameTextTrimmed(faceName, "MS PGothic") ? 1 : 0);
}

Extent MeasureText(const std::string& text, int lineHeight, const PieceWidth& widthOf) {
  const std::string measured = text.empty() ? std::string(" ") : text;
  std::int64_t w = 0, h = 0;
  std::size_t from = 0;
  for (;;) {
    const std::size_t cut = measured.find("\r\n", from);
    const std::size_t end = cut == std::string::npos ? measured.size() : cut;
    const std::int64_t cx = std::max(widthOf(measured.substr(from, end - from)), 0);
    w = std::max(w, cx + 10);
    h += (cx / kMaxTextWidth + 1) * std::int64_t{lineHeight};
    if (cut == std::string::npos) break;
    from = cut + 2;
    if (from == measured.size()) break;  // a line end at the very end opens no line
  }
  return {ClampToInt(std::min<std::int64_t>(w, kMaxTextWidth)), ClampToInt(h)};
}

WidthChoice SearchTextWidth(const Extent& measured, const ResizeProbe& probe) {
  int largest = measured.width;
  for (int i = 0; i < kWidthSearchSteps; ++i) {
    const int width = measured.width + 10 * i;
    const Extent requested = probe(width);
    if (requested.height <= measured.height) return {true, width};
    largest = std::max(largest, requested.width);
  }
  return {false, largest + 10};
}

Extent BoxSize(const Extent& text, const FrameMetrics& frame) {
  const int m = text.width < 200 ? 64 : 32;
  const int v = text.height < 39 ? 45 : 32;
  const int width = text.width + kBandWidth + 2 * m + 2 * frame.frameWidth;
  const int height =
      text.height + kButtonStrip + 2 * v + 2 * frame.frameHeight + frame.captionHeight;
  return {std::max(width, kMinBoxWidth), height};
}

Rect CenteredBox(const Rect& workArea, const Extent& box) {
  return {workArea.left + (workArea.width - box.width) / 2,
          workArea.top + (workArea.height - box.height) / 2, box.width, box.height};
}

Rect TextPlacement(const Extent& client, const Extent& text) {
  const int x = (client.width - kBandWidth - text.width) / 2 + kBandWidth;
  const int y = (client.height - kButtonStrip - text.height) / 2;
  return {x, y, text.width, client.height - y - 39};
}

Rect ButtonRect(int slot, int slotCount, const Extent& client) {
  const int fromRight = slotCount - 1 - slot;  // 0 for the rightmost button
  return {client.width - 80 - kButtonWidth * fromRight, client.height - 29, kButtonWidth,
          kButtonHeight};
}

}  // namespace msgbox
