// KMsgBox: the program's own modal message box: a text in the box markup (MsgMarkup) in a
// read-only rich-edit control, a system icon on a coloured band, one or two buttons. Windows only.
#pragma once

#include <string>

// Shows a box owned by the active window and returns the code of the button that closed it
// (1 OK, 2 Cancel, 6 Yes, 7 No), or 0 when it was closed without a button. Mode 0 puts the caption
// above the text as a bold heading, mode 2 disables the box's Close item, mode 1 does neither.
// The character sets 177 and 178 make the text right-aligned and right-to-left. Flags: the button
// set and icon bits of the system's message-box flags (msgbox::kButtons*, msgbox::kIcon*).
int ShowMessageBox(int mode, const std::string& text, const std::string& caption,
                   const std::string& buttonCaptions, int charset, unsigned flags);

// The wrappers fill an empty caption from "|Error|Attention|Confirm|" and an empty button list
// with the default list.
void ShowErrorBox(int mode, const std::string& text, const std::string& caption,
                  const std::string& buttonCaptions, int charset);
void ShowAttentionBox(int mode, const std::string& text, const std::string& caption,
                      const std::string& buttonCaptions, int charset);
// True when the answer is Yes.
bool AskYesNo(int mode, const std::string& text, const std::string& caption,
              const std::string& buttonCaptions, int charset);
// True when the answer is OK.
bool AskOkCancel(int mode, const std::string& text, const std::string& caption,
                 const std::string& buttonCaptions, int charset);
