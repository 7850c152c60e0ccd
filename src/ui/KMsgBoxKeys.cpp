// KMsgBoxKeys: default-button cycling and the keyboard filter's decisions.
#include "ui/KMsgBoxKeys.h"

namespace msgbox {

namespace {

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Codes 0x60..0x7F are the numeric keypad and the function keys; read as characters they would
// pass for the lower-case letters and answer a box by accident.
bool IsCharacterKey(unsigned keyCode) {
  return keyCode < 0x60 || keyCode > 0x7F;
}

// Alt+key: the caption's second character is the key (the "&" of "&No" comes first). Slot 0 is
// looked at last and wins.
KeyDecision DecideAltKey(unsigned keyCode, const std::vector<std::string>& captions) {
  if (!IsCharacterKey(keyCode) || keyCode > 0xFF) return {};
  const char key = static_cast<char>(keyCode);
  for (int slot = 0; slot < static_cast<int>(captions.size()); ++slot) {
    const std::string& c = captions[static_cast<std::size_t>(slot)];
    if (c.size() >= 2 && (c[1] == key || Upper(c[1]) == key)) return {KeyAction::kChoose, slot};
  }
  return {};
}

// A plain letter: the button with that access key; slot 1 wins when both have it.
KeyDecision DecideLetterKey(unsigned keyCode, const std::vector<std::string>& captions) {
  if (keyCode < 'A' || keyCode > 'Z') return {};
  const char key = static_cast<char>(keyCode);
  for (int slot = static_cast<int>(captions.size()) - 1; slot >= 0; --slot) {
    if (AccessKey(captions[static_cast<std::size_t>(slot)]) == key)
      return {KeyAction::kChoose, slot};
  }
  return {};
}

}  // namespace

int DefaultSlot(int index, int slotCount) {
  if (slotCount <= 0) return 0;
  const int r = index % slotCount;
  return r < 0 ? r + slotCount : r;
}

char AccessKey(const std::string& caption) {
  const std::size_t amp = caption.find('&');
  const std::size_t at = amp == std::string::npos ? 0 : amp + 1;
  return at < caption.size() ? Upper(caption[at]) : '\0';
}

KeyDecision DecideKey(KeyMessage message, unsigned keyCode,
                      const std::vector<std::string>& slotCaptions, int focusedSlot) {
  const int count = static_cast<int>(slotCaptions.size());
  if (message == KeyMessage::kWithAlt) return DecideAltKey(keyCode, slotCaptions);
  switch (keyCode) {
    case kKeyLeft:
    case kKeyUp:
      return {KeyAction::kMoveDefault, DefaultSlot(focusedSlot - 1, count)};
    case kKeyTab:
    case kKeyRight:
    case kKeyDown:
      return {KeyAction::kMoveDefault, DefaultSlot(focusedSlot + 1, count)};
    case kKeyReturn:
      if (focusedSlot >= 0 && focusedSlot < count) return {KeyAction::kChoose, focusedSlot};
      return {};
    case kKeyEscape:
      return {};
    default:
      return DecideLetterKey(keyCode, slotCaptions);
  }
}

}  // namespace msgbox
