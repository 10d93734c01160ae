// KtText: a formatted text box. It wraps a native "Edit" window that it creates
// and subclasses itself, in one of two types: free text (optional character
// filter, upper-casing, length limit) or numeric (a double `Value` shown with a
// decimal comma, optional thousands marks and leading zeroes, bounded integer
// and decimal digits). Keys are raised to the host before the edit window sees
// them and may be cancelled; Change, LineChange and ColumnChange come 25 ms
// after the activity that caused them. An optional caption sits on one side.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/font.h"
#include "platform/automation/variant.h"
#include "platform/container/container.h"
#include "platform/gdi/gdi_scoped.h"
#include "platform/user/user.h"
#include "winsupport/drawing.h"
#include "winsupport/inplace.h"
#include "winsupport/ipao.h"
#include "winsupport/subclass.h"
#include "winsupport/timer.h"

namespace ktfolio {

// Control types. A numeric box refuses an unusable text with
// ErrorCode::kInvalidPropertyValue.
enum KtTextType : std::int32_t { ktFreeText = 0, ktNumeric = 1 };

class KtText : private ISubclass, private IPAO {
 public:
  // A visible child window of `parent`; `name` is the default caption. Fonts
  // and caption colours come from the container's ambient properties. With
  // `runTime` false (design mode) the windows are not subclassed.
  KtText(win::HWND parent, const std::string& name, Container& site, bool runTime = true);
  ~KtText() override;
  KtText(const KtText&) = delete;
  KtText& operator=(const KtText&) = delete;

  // The edit window and the control's own window.
  win::HWND hwnd() const { return edit_; }
  win::HWND ControlWindow() const { return self_; }
  // Gives the control the container's in-place site. The accelerator hook is
  // installed when the box starts; with a site, each focus gain announces it
  // to the container's frame, which then offers the navigation keys to this
  // box first. Not owned; null stops the announcements.
  void SetClientSite(ole::IOleClientSite* site);
  // The error of the last announcement to the container on a focus gain (0: none).
  std::int32_t HookError() const { return hookError_; }

  // ---- formats and type --------------------------------------------------------------------
  std::int32_t ControlType() const { return controlType_; }
  void ControlType(std::int32_t v);
  std::string Text() const;
  void Text(const std::string& v);  // numeric: throws Error 380 for a text that is no number
  double Value() const { return value_; }
  void Value(double v);
  bool AllowBlank() const { return allowBlank_; }
  void AllowBlank(bool v) { SetFormat(allowBlank_, v); }
  bool AllowMinus() const { return allowMinus_; }
  void AllowMinus(bool v);
  const std::string& FormatStr() const { return formatStr_; }
  void FormatStr(const std::string& v) { SetFormat(formatStr_, v); }
  bool LeadingZeroes() const { return leadingZeroes_; }
  void LeadingZeroes(bool v) { SetFormat(leadingZeroes_, v); }
  std::int16_t LengthDec() const { return lengthDec_; }
  void LengthDec(std::int16_t v);
  std::int16_t LengthInt() const { return lengthInt_; }
  void LengthInt(std::int16_t v);
  bool ThousandMarks() const { return thousandMarks_; }
  void ThousandMarks(bool v) { SetFormat(thousandMarks_, v); }
  bool Blank() const { return Text().empty(); }
  void Blank(bool v);
  std::string FormattedText() const;

  // ---- free-text options (changed only while ControlType is 0) --------------------------------
  bool AutoUpperCase() const { return autoUpperCase_; }
  void AutoUpperCase(bool v);
  const std::string& Filter() const { return filter_; }
  void Filter(const std::string& v);
  std::int32_t MaxLength() const { return maxLength_; }
  void MaxLength(std::int32_t v);
  const std::string& PasswordChar() const { return passwordChar_; }
  void PasswordChar(const std::string& v);
  bool MultiLine() const { return multiLine_; }
  void MultiLine(bool v) { SetWindowOption(multiLine_, v, true); }
  bool AutoScrollH() const { return autoScrollH_; }
  void AutoScrollH(bool v) { SetWindowOption(autoScrollH_, v, true); }
  bool AutoScrollV() const { return autoScrollV_; }
  void AutoScrollV(bool v) { SetWindowOption(autoScrollV_, v, true); }
  std::int32_t ScrollBars() const { return scrollBars_; }
  void ScrollBars(std::int32_t v) { SetWindowOption(scrollBars_, v, true); }
  bool AutoReturn() const { return autoReturn_; }
  void AutoReturn(bool v) { autoReturn_ = v; }
  bool AutoTab() const { return autoTab_; }
  void AutoTab(bool v) { autoTab_ = v; }
  bool AutoExit() const { return autoExit_; }
  void AutoExit(bool v) { autoExit_ = v; }
  std::string Version() const { return "1.05"; }

  // ---- window look -------------------------------------------------------------------------
  std::int32_t Alignment() const { return alignment_; }
  void Alignment(std::int32_t v) { SetWindowOption(alignment_, v, false); }
  std::int32_t Appearance() const { return appearance_; }
  void Appearance(std::int32_t v) { SetWindowOption(appearance_, v, false); }
  std::int32_t BorderStyle() const { return borderStyle_; }
  void BorderStyle(std::int32_t v) { SetWindowOption(borderStyle_, v, false); }
  bool HideSelection() const { return hideSelection_; }
  void HideSelection(bool v) { SetWindowOption(hideSelection_, v, false); }
  std::uint32_t BackColor() const { return backColor_; }
  void BackColor(std::uint32_t v) { SetColor(backColor_, v); }
  std::uint32_t ForeColor() const { return foreColor_; }
  void ForeColor(std::uint32_t v) { SetColor(foreColor_, v); }
  std::uint32_t BackFocusedColor() const { return backFocusedColor_; }
  void BackFocusedColor(std::uint32_t v) { SetColor(backFocusedColor_, v); }
  std::uint32_t BackDisabledColor() const { return backDisabledColor_; }
  void BackDisabledColor(std::uint32_t v) { SetColor(backDisabledColor_, v); }
  std::uint32_t ForeDisabledColor() const { return foreDisabledColor_; }
  void ForeDisabledColor(std::uint32_t v) { SetColor(foreDisabledColor_, v); }
  std::uint32_t LockedBackColor() const { return lockedBackColor_; }
  void LockedBackColor(std::uint32_t v) { SetColor(lockedBackColor_, v); }
  std::uint32_t LockedForeColor() const { return lockedForeColor_; }
  void LockedForeColor(std::uint32_t v) { SetColor(lockedForeColor_, v); }
  bool Locked() const { return locked_; }
  void Locked(bool v) { SetColor(locked_, v); }
  bool Enabled() const;
  void Enabled(bool v);
  FontPtr Font() const { return font_; }
  void Font(FontPtr v);
  // The colours the edit window is painted with now (RGB): locked, disabled,
  // focused or normal.
  std::uint32_t CurrentBackColor() const;
  std::uint32_t CurrentForeColor() const;

  // ---- behaviour switches --------------------------------------------------------------------
  bool AutoHighLight() const { return autoHighLight_; }
  void AutoHighLight(bool v) { autoHighLight_ = v; }
  bool DisableContextMenu() const { return disableContextMenu_; }
  void DisableContextMenu(bool v) { disableContextMenu_ = v; }
  bool DisableColumnChangeEvent() const { return disableColumnChangeEvent_; }
  void DisableColumnChangeEvent(bool v) { disableColumnChangeEvent_ = v; }
  bool IgnoreChangeEvent() const { return ignoreChangeEvent_; }
  void IgnoreChangeEvent(bool v) { ignoreChangeEvent_ = v; }
  bool TrapTabKey() const { return trapTab_; }
  void TrapTabKey(bool v) { trapTab_ = v; }

  // ---- caption -------------------------------------------------------------------------------
  const std::string& Caption() const { return label_.Caption; }
  void Caption(const std::string& v);
  std::int32_t CaptionAlignment() const { return captionAlignment_; }
  void CaptionAlignment(std::int32_t v);
  std::uint32_t CaptionBackColor() const { return captionBackColor_; }
  void CaptionBackColor(std::uint32_t v);
  std::uint32_t CaptionForeColor() const { return label_.Forecolor; }
  void CaptionForeColor(std::uint32_t v);
  FontPtr CaptionFont() const { return label_.Font; }
  void CaptionFont(FontPtr v);
  std::int32_t CaptionPosition() const { return captionPosition_; }
  void CaptionPosition(std::int32_t v);
  const std::string& CaptionSize() const { return captionSize_; }
  void CaptionSize(const std::string& v);
  // Where the caption sits, in pixels of the control's window (hidden: all 0).
  win::RECT CaptionRect() const;

  // ---- editing (each one edit-window message) ---------------------------------------------------
  std::int32_t SelStart() const;
  void SelStart(std::int32_t v);
  std::int32_t SelLength() const;
  void SelLength(std::int32_t v);
  std::string SelText() const;
  void SelText(const std::string& v);
  void TextAppend(const std::string& v);
  void SelectAll();
  std::int32_t LineCount() const;
  std::int32_t CurrentLine() const;
  std::int32_t CurrentColumn() const;
  std::int32_t LineForCharacterIndex(std::int32_t index) const;
  win::POINT GetPosFromChar(std::int32_t index) const;
  std::string TextInRange(std::int32_t from, std::int32_t to) const;
  std::int32_t FirstVisibleLine() const;
  void ScrollToLine(std::int32_t line);
  void ScrollCaret();
  void SetMargins(std::int32_t left, std::int32_t right);
  void GetMargins(std::int32_t& left, std::int32_t& right) const;
  // Pixels between the box's top and its edit window, so that a box laid over
  // a cell can start its text where the cell's own lines start.
  void SetTopMargin(std::int32_t top);
  bool IsDirty() const;
  void IsDirty(bool v);
  bool HasFocus() const;
  // Context-menu commands: 1 cut, 2 copy, 3 paste, 4 delete, 5 undo, 6 select all.
  enum EditCommand : std::int32_t { edCut = 1, edCopy, edPaste, edDelete, edUndo, edSelectAll };
  bool CanEditPerform(std::int32_t command) const;
  void EditPerform(std::int32_t command);
  void Refresh();
  // Moves and sizes the control's window (pixels of its parent).
  void Move(int left, int top, int width, int height);
  // A free text the host keeps with the box.
  std::string Tag;

  // ---- character rules -----------------------------------------------------------------------
  static bool IsDigit(std::int16_t KeyAscii);
  static bool IsLetter(std::int16_t KeyAscii);
  static bool TestFilter(const std::string& Filter, std::int16_t KeyAscii);

  // ---- persistence -----------------------------------------------------------------------------
  struct Persisted {
    std::string name;
    Variant value;
  };
  std::vector<Persisted> PersistedDefaults() const;
  std::vector<Persisted> PersistedValues() const;
  void ReadProperties(const std::function<Variant(const std::string&, const Variant&)>& read);

  // ---- events ----------------------------------------------------------------------------------
  std::function<void()> Change;
  std::function<void(std::int16_t Button)> Click, DblClick;
  std::function<void(std::int32_t Line, std::int32_t Column, std::int32_t LineCount)> ColumnChange, LineChange;
  std::function<void(std::int16_t& KeyCode, std::int16_t Shift)> KeyDown, KeyUp;
  std::function<void(std::int16_t& KeyAscii, std::int16_t Shift)> KeyPress;
  std::function<void(std::int16_t Button, std::int16_t Shift, float X, float Y)> MouseDown, MouseMove, MouseUp;
  std::function<void()> HScroll, VScroll;
  // The container's validation step before the focus leaves (true keeps it),
  // and the focus having left. The cell editor uses them.
  std::function<bool()> Validate;
  std::function<void()> LostFocus;

 private:
  friend class KtTextTesting;
  // Formats and keys (kttext_format.cpp, kttext_keys.cpp).
  std::string FormatValueText(bool ForEditing) const;
  void ParseValueText();
  bool IsValidNumberText(std::string T) const;
  static std::int32_t NextFilterChar(std::string& F);
  void KeyPressFilter(std::int16_t& KeyAscii);
  void NumericKeyPress(std::int16_t& KeyAscii);
  // True when AutoExit cancelled the key (it would leave the text).
  bool KeyDownRules(std::int16_t& KeyCode, std::int16_t Shift);
  static std::int16_t KeyShift();
  // Runs the window's own procedure, the one installed before the subclass.
  static win::LRESULT PassOn(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  // Shows a text without checking it (re-showing Value in another form).
  void ShowText(const std::string& text);
  void Reshow(bool editing);
  void ReplaceTextKeepingTyped(const std::string& text, std::int32_t caret);
  // Window side (kttext_window.cpp).
  void BuildEditWindow();
  void AttachSubclass();
  void DetachSubclass();
  EMsgResponse MsgResponse() override { return emrConsume; }
  win::LRESULT WindowProc(win::HWND hwnd, win::UINT iMsg, win::WPARAM wParam, win::LPARAM lParam) override;
  win::LRESULT OwnWindowMessage(win::UINT iMsg, win::WPARAM wParam, win::LPARAM lParam);
  win::LRESULT EditMessage(win::UINT iMsg, win::WPARAM wParam, win::LPARAM lParam);
  win::LRESULT OnMouse(win::UINT iMsg, win::WPARAM wParam, win::LPARAM lParam);
  win::LRESULT OnKeyDown(win::WPARAM wParam, win::LPARAM lParam);
  win::LRESULT OnChar(win::WPARAM wParam, win::LPARAM lParam);
  void OnSetFocus();
  void OnKillFocus();
  void ShowContextMenu(win::LPARAM lParam);
  void TabInText(bool shift);
  win::LONG TranslateAccelerator(win::HWND hwnd, win::LONG iMsg, win::WPARAM& wParam, win::LPARAM& lParam,
                                 win::SHORT iKeyCode, win::LONG X, win::LONG& Y, win::DWORD& time) override;
  // What the delay timer will do when it fires; both may be pending.
  enum Delayed : unsigned { kNone = 0, kChange = 1, kLineColumn = 2 };
  void Arm(Delayed what);
  void OnDelay();
  void MoveToNextControl();
  // Caption and colours (kttext.cpp).
  void LayoutCaption();
  void PaintCaption(win::HDC dc);
  void ReleaseColorObjects();
  win::HBRUSH BackBrush();
  void NotifyChanged(const char* name);
  template <typename T>
  void SetFormat(T& field, T v) {
    field = v;
    if (controlType_ == ktNumeric) Reshow(HasFocus());
    NotifyChanged(nullptr);
  }
  template <typename T>
  void SetWindowOption(T& field, T v, bool textOnly) {
    if (textOnly && controlType_ != ktFreeText) return;
    if (field == v) return;
    field = v;
    BuildEditWindow();
  }
  template <typename T>
  void SetColor(T& field, T v) {
    field = v;
    ReleaseColorObjects();
    if (edit_) win::InvalidateRect(edit_, nullptr, win::TRUE);
  }
  static win::LRESULT ControlProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  int TwipsToPixelsX(double twips) const;
  int TwipsToPixelsY(double twips) const;

  Container& site_;
  bool runTime_ = true;
  win::HWND parent_ = nullptr;
  win::HWND self_ = nullptr;
  win::HWND edit_ = nullptr;
  bool attached_ = false;
  std::string text_;  // what the window held before a rebuild
  std::int32_t controlType_ = ktFreeText;
  double value_ = 0;
  bool allowBlank_ = false;
  bool allowMinus_ = true;
  std::string formatStr_;
  bool leadingZeroes_ = false;
  std::int16_t lengthDec_ = 0;
  std::int16_t lengthInt_ = 1;
  bool thousandMarks_ = false;
  bool autoUpperCase_ = false;
  std::string filter_;
  std::int32_t maxLength_ = 0;
  std::string passwordChar_;
  bool multiLine_ = false, autoScrollH_ = true, autoScrollV_ = true;
  std::int32_t scrollBars_ = 0;
  bool autoReturn_ = true, autoTab_ = true, autoExit_ = true;
  std::int32_t alignment_ = 0;
  std::int32_t appearance_ = 1;
  std::int32_t borderStyle_ = 0;
  bool hideSelection_ = true;
  std::uint32_t backColor_ = 0x80000005;
  std::uint32_t foreColor_ = 0x80000008;
  std::uint32_t backFocusedColor_ = 14150898;
  std::uint32_t backDisabledColor_ = 0xE0E0E0;
  std::uint32_t foreDisabledColor_ = 128;
  bool locked_ = false;
  std::uint32_t lockedBackColor_ = 0x8000000F;
  std::uint32_t lockedForeColor_ = 0x80000011;
  bool autoHighLight_ = false;
  bool disableContextMenu_ = false;
  bool disableColumnChangeEvent_ = false;
  bool ignoreChangeEvent_ = false;
  bool trapTab_ = false;
  FontPtr font_;
  win::OwnedFont hfont_;
  clsLabel label_;
  std::string defaultCaption_;
  std::int32_t captionAlignment_ = 3;
  std::uint32_t captionBackColor_ = 0;
  std::int32_t captionPosition_ = 0;
  std::string captionSize_ = "-50";
  std::int32_t topMargin_ = 0;
  const std::string tabReplacement_ = "    ";

  // Cached brush of the background and the colour it was made from.
  win::OwnedBrush backBrush_;
  std::uint32_t backBrushColor_ = 0;
  CTimer delay_;
  unsigned pending_ = kNone;
  bool keepTyped_ = false;  // the key handler set Text: leave it as typed
  std::int16_t lastKeyDown_ = 0;
  bool focusFromMouse_ = false;
  bool clickPending_ = false;
  std::int32_t lastLine_ = 0, lastLineCount_ = 1, lastColumn_ = 0;
  std::int32_t hookError_ = 0;
  // The in-place face the accelerator hook wraps.
  class OleFace;
  std::unique_ptr<OleFace> ole_;
};

}  // namespace ktfolio
