// KMsgBoxLayout: the arithmetic of a message box's size: measuring its text, the rich-edit width
// search for bold text, and the box, text control and button rectangles.
#pragma once

#include <functional>
#include <string>

namespace msgbox {

constexpr int kMaxTextWidth = 600;  // a wider line wraps
constexpr int kMinBoxWidth = 360;
constexpr int kBandWidth = 54;    // the coloured band with the icon, at the left
constexpr int kButtonStrip = 36;  // the strip with the buttons, at the bottom
constexpr int kButtonWidth = 70;
constexpr int kButtonHeight = 23;
constexpr int kIconLeft = 11;
constexpr int kIconTop = 20;
// Where the text control is created before the box knows its size.
constexpr int kTextLeft = 86;
constexpr int kTextTop = 30;
constexpr int kTextInitialWidth = 100;
constexpr int kTextInitialHeight = 13;
constexpr int kWidthSearchSteps = 21;

struct Extent {
  int width = 0;
  int height = 0;
  bool operator==(const Extent&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

// The font's height plus its external leading, one more for "MS PGothic".
int LineHeight(int fontHeight, int externalLeading, const std::string& faceName);

// Width of one line of text in pixels, as the box font draws it.
using PieceWidth = std::function<int(const std::string& piece)>;

// The text cut at every CR LF: each piece is at least one line and one more for every full
// kMaxTextWidth pixels; the width is the widest piece plus 10, at most kMaxTextWidth. An empty
// text is measured as one space; a CR LF at the very end adds no line.
Extent MeasureText(const std::string& text, int lineHeight, const PieceWidth& widthOf);

// Sizes the rich-edit control to the given width (the measured height kept) and gives back the
// size it then asks for.
using ResizeProbe = std::function<Extent(int width)>;

struct WidthChoice {
  bool fits = false;  // a probed width needed no more than the measured height
  int width = 0;      // the width to keep
};

// Bold runs make text wider than measured: tries widths W, W+10, ... W+200 until the control
// asks for no more than height H; otherwise the widest request seen (at least W) plus 10.
WidthChoice SearchTextWidth(const Extent& measured, const ResizeProbe& probe);

// The frame metrics the box size depends on (SM_CXFRAME, SM_CYFRAME, SM_CYCAPTION).
struct FrameMetrics {
  int frameWidth = 0;
  int frameHeight = 0;
  int captionHeight = 0;
};

// The outer size of the box around a text control of size text.
Extent BoxSize(const Extent& text, const FrameMetrics& frame);
// The box centred in the work area.
Rect CenteredBox(const Rect& workArea, const Extent& box);
// The text control inside a client area of size client; text is the control's size before.
Rect TextPlacement(const Extent& client, const Extent& text);
// A button's rectangle; slot 0 is the leftmost of slotCount (1 or 2) buttons touching at the right.
Rect ButtonRect(int slot, int slotCount, const Extent& client);

}  // namespace msgbox
