// KMsgBoxOptions: flags, button sets and default captions of the message box.
#include "ui/KMsgBoxOptions.h"

#include "util/KSUB.h"

namespace msgbox {

std::vector<ButtonSpec> ButtonsForFlags(unsigned flags) {
  switch (flags & kButtonSetMask) {
    case kButtonsOkCancel:
      return {{0, kResultOk}, {1, kResultCancel}};
    case kButtonsYesNo:
      return {{2, kResultYes}, {3, kResultNo}};
    default:
      return {{0, kResultOk}};
  }
}

std::string ButtonCaption(const std::string& captions, int field) {
  return SUB::Field(captions, field, "");
}

int StandardIconForFlags(unsigned flags) {
  switch (flags & kIconMask) {
    case kIconStop:
      return 32513;
    case kIconQuestion:
      return 32514;
    case kIconExclamation:
      return 32515;
    default:
      return 0;
  }
}

unsigned BoxFlags(int mode, int charset, unsigned flags) {
  if (mode == 2) flags |= kNoClose;
  if (charset == kCharsetHebrew || charset == kCharsetArabic) flags |= kRightAlign | kRtlReading;
  return flags;
}

std::string WrapperCaption(const std::string& caption, int captionField) {
  return caption.empty() ? SUB::Field(kDefaultWindowCaptions, captionField, "") : caption;
}

std::string WrapperButtons(const std::string& buttonCaptions) {
  return buttonCaptions.empty() ? std::string(kDefaultButtonCaptions) : buttonCaptions;
}

}  // namespace msgbox
