// KMsgBoxOptions: what a message box's flags word, mode and character set ask for, the button sets
// with their result codes, and the caption lists the boxes fall back to.
#pragma once

#include <string>
#include <vector>

namespace msgbox {

// Flags word (the bit layout of the system's message-box flags).
constexpr unsigned kButtonSetMask = 15;
constexpr unsigned kButtonsOk = 0;
constexpr unsigned kButtonsOkCancel = 1;
constexpr unsigned kButtonsYesNo = 4;
constexpr unsigned kIconMask = 240;
constexpr unsigned kIconStop = 16;
constexpr unsigned kIconQuestion = 32;
constexpr unsigned kIconExclamation = 48;
constexpr unsigned kRightAlign = 0x80000;
constexpr unsigned kRtlReading = 0x100000;
constexpr unsigned kNoClose = 0x10000000;

// Result codes; 0 when the box was closed without a button.
constexpr int kResultClosed = 0;
constexpr int kResultOk = 1;
constexpr int kResultCancel = 2;
constexpr int kResultYes = 6;
constexpr int kResultNo = 7;

// Seven captions: OK, Cancel, Yes, No, Abort, Retry, Ignore.
inline constexpr const char* kDefaultButtonCaptions =
    "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|";
// Window captions of error, attention and question boxes.
inline constexpr const char* kDefaultWindowCaptions = "|Error|Attention|Confirm|";
constexpr int kCaptionError = 0;
constexpr int kCaptionAttention = 1;
constexpr int kCaptionConfirm = 2;

// Flags of the wrappers.
constexpr unsigned kErrorBoxFlags = kButtonsOk | kIconStop;
constexpr unsigned kAttentionBoxFlags = kButtonsOk | kIconExclamation;
constexpr unsigned kYesNoBoxFlags = kButtonsYesNo | kIconQuestion;
constexpr unsigned kOkCancelBoxFlags = kButtonsOkCancel | kIconQuestion;

// Hebrew and Arabic.
constexpr int kCharsetHebrew = 177;
constexpr int kCharsetArabic = 178;

// One push button: its field in the caption list and the code it returns.
struct ButtonSpec {
  int field = 0;
  int code = 0;
  bool operator==(const ButtonSpec&) const = default;
};

// The buttons of the flags' button set, slot 0 (leftmost) first. A set the boxes do not know
// gets the OK button, so that every box can be answered.
std::vector<ButtonSpec> ButtonsForFlags(unsigned flags);

// Field of the caption list; empty when the list lacks it.
std::string ButtonCaption(const std::string& captions, int field);

// The system icon of the flags (32513 stop, 32514 question, 32515 exclamation), 0 for none.
int StandardIconForFlags(unsigned flags);

// The flags a box really uses: mode 2 adds kNoClose, the character sets 177 and 178 add
// right-aligned, right-to-left text.
unsigned BoxFlags(int mode, int charset, unsigned flags);

// A wrapper's caption: an empty one becomes the field of kDefaultWindowCaptions.
std::string WrapperCaption(const std::string& caption, int captionField);
// A wrapper's button list: an empty one becomes kDefaultButtonCaptions.
std::string WrapperButtons(const std::string& buttonCaptions);

}  // namespace msgbox
