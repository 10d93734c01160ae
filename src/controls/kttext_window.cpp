// KtText's window side: building the edit window, the subclass attachments on
// it and on the control's own window, the message rules (keys and characters
// before the edit window, mouse events, focus colours, the context menu), the
// delayed Change / LineChange / ColumnChange, and moving on to the next control.
#include <algorithm>

#include "controls/kttext.h"
#include "controls/kttext_impl.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr UINT kRetakeFocus = WM_USER + 1;
constexpr long kDelayMs = 25;

// Messages the box watches on the edit window and on its own window.
constexpr UINT kEditMessages[] = {WM_SETFOCUS, WM_KILLFOCUS, WM_CUT,        WM_PASTE,      WM_CLEAR,
                                  WM_CHAR,     WM_KEYUP,     WM_KEYDOWN,    WM_PAINT,      WM_VSCROLL,
                                  WM_HSCROLL,  WM_MOUSEACTIVATE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
                                  WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN,
                                  WM_MBUTTONUP, WM_MBUTTONDBLCLK};
// A disabled or read-only edit window asks with WM_CTLCOLORSTATIC instead of
// WM_CTLCOLOREDIT; both get the box's colour pair.
constexpr UINT kOwnMessages[] = {WM_COMMAND, WM_SYSCOLORCHANGE, WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC,
                                 WM_PAINT,   WM_SETFOCUS,       WM_MOUSEACTIVATE};

std::int16_t ButtonOfMessage(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return 1;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return 2;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return 4;
    default: return 0;
  }
}

std::int16_t ButtonOfFlags(WPARAM keys) {
  return static_cast<std::int16_t>(((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
                                   ((keys & MK_MBUTTON) ? 4 : 0));
}

}  // namespace

std::int16_t KtText::KeyShift() {
  // The state as of the message being handled, not of the keyboard now: a
  // queued Ctrl+Right must read Ctrl held even when Ctrl is already up.
  return static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                                   (GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

LRESULT KtText::PassOn(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Looked up per window: a nested dispatch may have replaced the thread's
  // "current previous procedure" while our handler ran.
  auto previous = reinterpret_cast<WNDPROC>(GetProp(hwnd, MSubclass::HandleName(hwnd).c_str()));
  if (!previous) return DefWindowProc(hwnd, msg, wParam, lParam);
  return CallWindowProc(previous, hwnd, msg, wParam, lParam);
}

// ---- building ----------------------------------------------------------------------------------

void KtText::BuildEditWindow() {
  if (!self_) return;
  bool hadFocus = false;
  if (edit_) {
    text_ = Text();
    const size_t cap = maxLength_ > 0 ? static_cast<size_t>(maxLength_) : multiLine_ ? 65535 : 32766;
    std::u32string u = kttext::ToU32(text_);
    if (u.size() > cap) text_ = kttext::ToU8(u.substr(0, cap));
    hadFocus = HasFocus();
    if (attached_)
      for (UINT m : kEditMessages) MSubclass::DetachMessage(this, edit_, m);
    DestroyWindow(edit_);
    edit_ = nullptr;
  }
  DWORD style = WS_CHILD | WS_VISIBLE;
  if (alignment_ == 1) style |= ES_RIGHT;
  if (alignment_ == 2) style |= ES_CENTER;
  if (borderStyle_ == 1 && appearance_ == 1) style |= WS_BORDER;
  if (!hideSelection_) style |= ES_NOHIDESEL;
  if (multiLine_) {
    style |= ES_MULTILINE;
    if (scrollBars_ & 1) style |= WS_HSCROLL;
    if (scrollBars_ & 2) style |= WS_VSCROLL;
  }
  if (autoScrollH_) style |= ES_AUTOHSCROLL;
  if (autoScrollV_) style |= ES_AUTOVSCROLL;
  const DWORD exStyle = appearance_ != 1 ? WS_EX_CLIENTEDGE : 0;
  edit_ = CreateWindowEx(exStyle, "Edit", "", style, 0, 0, 0, 0, self_, nullptr, nullptr, nullptr);
  if (!edit_) return;
  SendMessage(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(hfont_.get()), FALSE);
  if (maxLength_ > 0) SendMessage(edit_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  SetWindowText(edit_, text_.c_str());
  const std::u32string password = kttext::ToU32(passwordChar_);
  if (!password.empty()) SendMessage(edit_, EM_SETPASSWORDCHAR, static_cast<WPARAM>(password[0]), 0);
  LayoutCaption();
  if (runTime_ && attached_)
    for (UINT m : kEditMessages) MSubclass::AttachMessage(this, edit_, m);
  if (hadFocus) SetFocus(edit_);
}

void KtText::AttachSubclass() {
  if (!runTime_ || attached_ || !edit_) return;
  for (UINT m : kEditMessages) MSubclass::AttachMessage(this, edit_, m);
  for (UINT m : kOwnMessages) MSubclass::AttachMessage(this, self_, m);
  attached_ = true;
}

void KtText::DetachSubclass() {
  if (!attached_) return;
  if (edit_ && IsWindow(edit_))
    for (UINT m : kEditMessages) MSubclass::DetachMessage(this, edit_, m);
  for (UINT m : kOwnMessages) MSubclass::DetachMessage(this, self_, m);
  attached_ = false;
}

// ---- dispatch -------------------------------------------------------------------------------------

// Every message is consumed here and passed on explicitly where the rules say
// so: that way a dropped paste or a cancelled key never reaches the edit window.
LRESULT KtText::WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
  if (hwnd == self_) return OwnWindowMessage(iMsg, wParam, lParam);
  return EditMessage(iMsg, wParam, lParam);
}

LRESULT KtText::OwnWindowMessage(UINT iMsg, WPARAM wParam, LPARAM lParam) {
  switch (iMsg) {
    case WM_SYSCOLORCHANGE: ReleaseColorObjects(); return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == edit_) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, CurrentBackColor());
        SetTextColor(dc, CurrentForeColor());
        return reinterpret_cast<LRESULT>(BackBrush());
      }
      return PassOn(self_, iMsg, wParam, lParam);
    default: break;
  }
  const LRESULT result = PassOn(self_, iMsg, wParam, lParam);
  switch (iMsg) {
    case WM_SETFOCUS:
    case WM_MOUSEACTIVATE:
      if (edit_ && GetFocus() != edit_) SetFocus(edit_);
      break;
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_HSCROLL && HScroll) HScroll();
      if (HIWORD(wParam) == EN_VSCROLL && VScroll) VScroll();
      break;
    default: break;
  }
  return result;
}

LRESULT KtText::EditMessage(UINT iMsg, WPARAM wParam, LPARAM lParam) {
  switch (iMsg) {
    case WM_HSCROLL:
      if (HScroll) HScroll();
      return PassOn(edit_, iMsg, wParam, lParam);
    case WM_VSCROLL:
      if (VScroll) VScroll();
      return PassOn(edit_, iMsg, wParam, lParam);
    case WM_CLEAR:
      return locked_ ? 0 : PassOn(edit_, iMsg, wParam, lParam);
    case WM_PASTE:
      if (locked_) return 0;
      SendMessage(edit_, EM_SETMODIFY, TRUE, 0);
      return PassOn(edit_, iMsg, wParam, lParam);
    case WM_SETFOCUS: {
      const LRESULT r = PassOn(edit_, iMsg, wParam, lParam);
      OnSetFocus();
      return r;
    }
    case WM_KILLFOCUS: {
      const LRESULT r = PassOn(edit_, iMsg, wParam, lParam);
      OnKillFocus();
      return r;
    }
    case WM_MOUSEACTIVATE:
      Arm(kLineColumn);
      if (!HasFocus()) {
        focusFromMouse_ = true;
        SetFocus(self_);
      }
      return MA_ACTIVATE;
    case WM_KEYDOWN: return OnKeyDown(wParam, lParam);
    case WM_KEYUP: {
      lastKeyDown_ = 0;
      std::int16_t code = static_cast<std::int16_t>(wParam);
      if (KeyUp) KeyUp(code, KeyShift());
      Arm(kLineColumn);
      return PassOn(edit_, iMsg, wParam, lParam);
    }
    case WM_CHAR: return OnChar(wParam, lParam);
    default:
      if (iMsg >= WM_MOUSEMOVE && iMsg <= WM_MBUTTONDBLCLK) return OnMouse(iMsg, wParam, lParam);
      return PassOn(edit_, iMsg, wParam, lParam);
  }
}

// ---- keys ---------------------------------------------------------------------------------------------

LRESULT KtText::OnKeyDown(WPARAM wParam, LPARAM lParam) {
  const std::int16_t shift = KeyShift();
  if (locked_ && (wParam == VK_DELETE || (wParam == VK_INSERT && (shift & 1)))) return 0;
  std::int16_t code = static_cast<std::int16_t>(wParam);
  lastKeyDown_ = code;
  KeyDownRules(code, shift);
  if (code == 0) return 0;
  // No container offered Tab to the hook (a bare form): the trap still works.
  if (code == VK_TAB && trapTab_) {
    TabInText((shift & 1) != 0);
    return 0;
  }
  const LRESULT r = PassOn(edit_, WM_KEYDOWN, static_cast<WPARAM>(code), lParam);
  if (code == VK_DELETE && !ignoreChangeEvent_) Arm(kChange);
  return r;
}

LRESULT KtText::OnChar(WPARAM wParam, LPARAM lParam) {
  if (wParam == VK_TAB || locked_) return 0;
  std::int16_t key = static_cast<std::int16_t>(wParam);
  KeyPressFilter(key);
  if (key == 0) return 0;
  if (!ignoreChangeEvent_) Arm(kChange);
  return PassOn(edit_, WM_CHAR, static_cast<WPARAM>(static_cast<std::uint16_t>(key)), lParam);
}

void KtText::MoveToNextControl() { SendTab(); }

// ---- mouse ------------------------------------------------------------------------------------------------

LRESULT KtText::OnMouse(UINT iMsg, WPARAM wParam, LPARAM lParam) {
  const std::int16_t shift = KeyShift();
  const float x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  const std::int16_t button = ButtonOfMessage(iMsg);
  switch (iMsg) {
    case WM_MOUSEMOVE:
      if (MouseMove) MouseMove(ButtonOfFlags(wParam), shift, x, y);
      break;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
      if (MouseDown) MouseDown(button, shift, x, y);
      clickPending_ = true;
      break;
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
      if (DblClick) DblClick(button);
      break;
    case WM_LBUTTONUP: case WM_MBUTTONUP: case WM_RBUTTONUP:
      if (MouseUp) MouseUp(button, shift, x, y);
      if (clickPending_) {
        clickPending_ = false;
        if (Click) Click(button);
      }
      if (iMsg == WM_LBUTTONUP) Arm(kLineColumn);
      if (iMsg == WM_RBUTTONUP) {
        if (disableContextMenu_) return 0;
        if (locked_) {
          ShowContextMenu(lParam);
          return 0;
        }
      }
      break;
    default: break;
  }
  return PassOn(edit_, iMsg, wParam, lParam);
}

// A locked box offers only what does not change the text.
void KtText::ShowContextMenu(LPARAM lParam) {
  static const std::pair<EditCommand, const char*> kItems[] = {
      {edUndo, "&Undo"}, {edCut, "Cu&t"}, {edCopy, "&Copy"}, {edPaste, "&Paste"}, {edDelete, "&Delete"},
      {edSelectAll, "Select &All"}};
  HMENU menu = CreatePopupMenu();
  for (const auto& [command, caption] : kItems)
    AppendMenu(menu, MF_STRING | (CanEditPerform(command) ? 0 : MF_GRAYED), static_cast<UINT_PTR>(command), caption);
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(edit_, &p);
  const auto chosen = static_cast<std::int32_t>(TrackPopupMenu(menu, TPM_RETURNCMD, p.x, p.y, 0, edit_, nullptr));
  DestroyMenu(menu);
  if (chosen) EditPerform(chosen);
}

// ---- focus ----------------------------------------------------------------------------------------------

void KtText::OnSetFocus() {
  if (ole_->site) {
    try {
      modIPAO::Activate(static_cast<ole::IOleObject*>(ole_.get()), self_);
      hookError_ = 0;
    } catch (const Error& e) {
      hookError_ = e.number();  // a window procedure cannot raise; kept for the host to read
    }
  }
  if (focusFromMouse_)
    SelLength(0);
  else if (autoHighLight_)
    SelectAll();
  ReleaseColorObjects();
  InvalidateRect(edit_, nullptr, TRUE);
  if (controlType_ == ktNumeric) Reshow(true);
  focusFromMouse_ = false;
}

void KtText::OnKillFocus() {
  ReleaseColorObjects();
  InvalidateRect(edit_, nullptr, TRUE);
  if (controlType_ == ktNumeric) Reshow(false);
  // The container's validation: a host that refuses keeps the focus here.
  if (Validate && Validate()) {
    PostMessage(self_, kRetakeFocus, 0, 0);
    return;
  }
  if (LostFocus) LostFocus();
}

// ---- delayed events -----------------------------------------------------------------------------------------

// Arming restarts the one shot. A key's Change and its key-up's line check
// share it, so both are remembered rather than the later replacing the earlier.
void KtText::Arm(Delayed what) {
  delay_.Interval(0);
  pending_ |= what;
  delay_.Interval(kDelayMs);
}

void KtText::OnDelay() {
  delay_.Interval(0);
  const unsigned what = pending_;
  pending_ = kNone;
  if (what & kChange) {
    if (controlType_ == ktNumeric) ParseValueText();
    if (Change) Change();
  }
  if (!(what & kLineColumn) || !edit_) return;
  const std::int32_t line = CurrentLine(), count = LineCount(), column = CurrentColumn();
  if (line != lastLine_ || count != lastLineCount_) {
    lastLine_ = line, lastLineCount_ = count, lastColumn_ = column;
    if (LineChange) LineChange(line, column, count);
  } else if (column != lastColumn_ && !disableColumnChangeEvent_) {
    lastColumn_ = column;
    if (ColumnChange) ColumnChange(line, column, count);
  }
}

}  // namespace ktfolio
