// KtText's keys: the per-character rules of both types, the key-down rules
// (AutoExit, Delete in numbers), the navigation keys offered by the
// container's accelerator hook, and Tab handled inside the text.
#include <algorithm>

#include "controls/kttext.h"
#include "controls/kttext_impl.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr std::int16_t kTab = 9;
constexpr std::int16_t kEnter = 13;
constexpr std::int16_t kBackspace = 8;

std::string CharText(std::int16_t code) {
  return kttext::ToU8(std::u32string(1, static_cast<char32_t>(static_cast<std::uint16_t>(code))));
}

}  // namespace

void KtText::KeyPressFilter(std::int16_t& KeyAscii) {
  if (KeyPress) KeyPress(KeyAscii, static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? 1 : 0) |
                                                             (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                                                             (GetKeyState(VK_MENU) < 0 ? 4 : 0)));
  if (KeyAscii == 0 || KeyAscii == kTab) {
    KeyAscii = 0;
    return;
  }
  if (controlType_ == ktNumeric) {
    NumericKeyPress(KeyAscii);
    return;
  }
  if (KeyAscii == kEnter && autoReturn_) {
    MoveToNextControl();
    KeyAscii = 0;
    return;
  }
  const bool passes = autoUpperCase_ ? TestFilter(kttext::UpperText(filter_), KeyAscii = kttext::UpperOf(KeyAscii))
                                     : TestFilter(filter_, KeyAscii);
  if (!passes) {
    MessageBeep(0);
    KeyAscii = 0;
    return;
  }
  if (KeyAscii >= 32 && maxLength_ > 0 && autoTab_) {
    if (maxLength_ == 1) {
      Text(CharText(KeyAscii));
    } else if (kttext::Length(Text()) == maxLength_ - 1 && SelLength() == 0 && SelStart() == maxLength_ - 1) {
      SelText(CharText(KeyAscii));
    } else {
      return;
    }
    MoveToNextControl();
    KeyAscii = 0;
  }
}

void KtText::NumericKeyPress(std::int16_t& KeyAscii) {
  const std::int16_t key = KeyAscii;
  KeyAscii = 0;  // every key is handled here or dropped; the window never types a digit itself
  const std::string text = Text();
  const std::int32_t start = SelStart(), length = SelLength();
  if (key == kEnter) {
    if (autoReturn_) MoveToNextControl();
    return;
  }
  if (key == kBackspace) {
    if (length == 0 && start == 0) {
      KeyAscii = key;
      return;
    }
    std::string candidate = text;
    std::int32_t caret = start;
    if (length == 0) {
      candidate.erase(static_cast<size_t>(start - 1), 1);
      caret = start - 1;
    } else {
      candidate.erase(static_cast<size_t>(start), static_cast<size_t>(length));
    }
    if (IsValidNumberText(candidate))
      ReplaceTextKeepingTyped(candidate, caret);
    else
      MessageBeep(0);
    return;
  }
  if (key < 32) return;
  if (key > 127) return;
  const char c = key == '.' ? ',' : static_cast<char>(key);
  if (c == ',') {
    if (lengthDec_ == 0) return;
    const size_t comma = text.find(',');
    if (comma != std::string::npos) {  // a second comma steps into the decimals
      SelStart(static_cast<std::int32_t>(comma + 1));
      SelLength(static_cast<std::int32_t>(text.size() - comma - 1));
      return;
    }
  }
  if (c == '-') {
    if (value_ == 0 || !allowMinus_) return;
    const bool negative = !text.empty() && text[0] == '-';
    const std::string candidate = negative ? text.substr(1) : "-" + text;
    const std::int32_t caret = negative ? std::max(0, start - 1) : start + 1;
    if (IsValidNumberText(candidate))
      ReplaceTextKeepingTyped(candidate, caret);
    else
      MessageBeep(0);
    return;
  }
  if (std::string_view("0123456789,").find(c) == std::string_view::npos) return;
  std::string candidate = text;
  candidate.replace(static_cast<size_t>(start), static_cast<size_t>(length), 1, c);
  if (!IsValidNumberText(candidate)) {
    MessageBeep(0);
    return;
  }
  const std::int32_t caret = start + 1;
  ReplaceTextKeepingTyped(candidate, caret);
  // Past the caret without a comma there: select the rest so the next digit overwrites it.
  if (candidate.find(',', static_cast<size_t>(caret)) == std::string::npos)
    SelLength(static_cast<std::int32_t>(candidate.size()) - caret);
}

// Puts a key's result in as typed (no reformatting) and places the caret.
void KtText::ReplaceTextKeepingTyped(const std::string& text, std::int32_t caret) {
  keepTyped_ = true;
  Text(text);
  keepTyped_ = false;
  SelStart(caret);
  if (!ignoreChangeEvent_) Arm(kChange);
}

bool KtText::KeyDownRules(std::int16_t& KeyCode, std::int16_t Shift) {
  if (KeyDown) KeyDown(KeyCode, Shift);
  if (KeyCode == 0) return false;
  bool exited = false;
  if (Shift == 0 && autoExit_) {
    const std::int32_t start = SelStart(), length = SelLength();
    const bool collapsed = length == 0;
    exited = KeyCode == VK_UP || KeyCode == VK_DOWN || (KeyCode == VK_LEFT && collapsed && start == 0) ||
             (KeyCode == VK_RIGHT && collapsed && start == kttext::Length(Text()));
    if (exited) KeyCode = 0;
  }
  if (KeyCode == VK_DELETE && controlType_ == ktNumeric) {
    std::string candidate = Text();
    const std::int32_t start = SelStart(), length = SelLength();
    if (length > 0)
      candidate.erase(static_cast<size_t>(start), static_cast<size_t>(length));
    else if (start < static_cast<std::int32_t>(candidate.size()))
      candidate.erase(static_cast<size_t>(start), 1);
    if (!IsValidNumberText(candidate)) {
      MessageBeep(0);
      KeyCode = 0;
    }
  }
  return exited;
}

LONG KtText::TranslateAccelerator(HWND, LONG iMsg, WPARAM&, LPARAM& lParam, SHORT iKeyCode, LONG, LONG&, DWORD&) {
  constexpr LONG kHandled = 0, kDeclined = 1;
  if (iMsg != static_cast<LONG>(WM_KEYDOWN)) return kDeclined;
  std::int16_t code = iKeyCode;
  const std::int16_t shift = KeyShift();
  switch (iKeyCode) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT:
    case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END: {
      // Left alone by AutoExit: the container may move on to the next field.
      if (KeyDownRules(code, shift)) return kDeclined;
      if (code != 0) {
        PassOn(edit_, WM_KEYDOWN, static_cast<WPARAM>(code), lParam);
        Arm(kLineColumn);
      }
      return kHandled;
    }
    case VK_TAB:
      if (!trapTab_) return kDeclined;
      KeyDownRules(code, shift);
      if (code == 0) return kDeclined;
      TabInText((shift & 1) != 0);
      return kHandled;
    default: return kDeclined;
  }
}

void KtText::TabInText(bool shift) {
  const std::int32_t start = SelStart(), end = start + SelLength();
  const std::int32_t first = LineForCharacterIndex(start), last = LineForCharacterIndex(end);
  if (first == last) {
    SelText(tabReplacement_);
    return;
  }
  std::u32string text = kttext::ToU32(Text());
  const std::u32string tab = kttext::ToU32(tabReplacement_);
  std::int32_t newEnd = end;
  for (std::int32_t line = last; line >= first; --line) {  // from the bottom: earlier indexes stay valid
    const auto at = static_cast<size_t>(SendMessage(edit_, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    if (!shift) {
      text.insert(at, tab);
      newEnd += static_cast<std::int32_t>(tab.size());
    } else if (text.compare(at, tab.size(), tab) == 0) {
      text.erase(at, tab.size());
      newEnd -= static_cast<std::int32_t>(tab.size());
    }
  }
  SetWindowText(edit_, kttext::ToU8(text).c_str());
  const std::int32_t lineStart = static_cast<std::int32_t>(SendMessage(edit_, EM_LINEINDEX, static_cast<WPARAM>(first), 0));
  SendMessage(edit_, EM_SETSEL, static_cast<WPARAM>(lineStart), static_cast<LPARAM>(newEnd));
  if (!ignoreChangeEvent_) Arm(kChange);
}

}  // namespace ktfolio
