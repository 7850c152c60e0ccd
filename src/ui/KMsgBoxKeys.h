// KMsgBoxKeys: the message box's keyboard rules: which button becomes the default, and what a key
// press does (choose a button, move the default, or nothing) before the message is dispatched.
#pragma once

#include <string>
#include <vector>

namespace msgbox {

// Virtual-key codes the box looks at.
constexpr unsigned kKeyTab = 0x09;
constexpr unsigned kKeyReturn = 0x0D;
constexpr unsigned kKeyEscape = 0x1B;
constexpr unsigned kKeyLeft = 0x25;
constexpr unsigned kKeyUp = 0x26;
constexpr unsigned kKeyRight = 0x27;
constexpr unsigned kKeyDown = 0x28;

// The slot an index chooses among slotCount buttons, wrapping both ways.
int DefaultSlot(int index, int slotCount);

// The access key of a caption: the character after its first "&" (the first character when it
// has none), in upper case; 0 when there is none.
char AccessKey(const std::string& caption);

enum class KeyAction { kNone, kChoose, kMoveDefault };

struct KeyDecision {
  KeyAction action = KeyAction::kNone;
  int slot = -1;  // the button chosen, or the new default
  bool operator==(const KeyDecision&) const = default;
};

// kPlain: a key-down message; kWithAlt: a system key-down message (Alt held).
enum class KeyMessage { kPlain, kWithAlt };

// What one key message does to a box whose buttons carry the captions slotCaptions (slot 0 first)
// while the button of focusedSlot has the focus (-1: none of them). A chosen button closes the box
// and the message is consumed; anything else goes on to dispatch.
KeyDecision DecideKey(KeyMessage message, unsigned keyCode,
                      const std::vector<std::string>& slotCaptions, int focusedSlot);

}  // namespace msgbox
