// MainWindowLayout: the child positions of the stub's main window, mirrored for right-to-left.
#include "core/MainWindowLayout.h"

namespace mainwindow {

bool IsRightToLeftCharset(int charset) {
  return charset == 177 || charset == 178;
}

ChildLayout ChildLayoutFor(int charset) {
  const bool mirrored = IsRightToLeftCharset(charset);
  ChildLayout layout;
  layout.label = {mirrored ? 122 : 70, 20, 340, 18};
  layout.mainBar = {70, 38, 392, 13};
  layout.activityBar = {mirrored ? 70 : 416, 20, 46, 13};
  return layout;
}

}  // namespace mainwindow
