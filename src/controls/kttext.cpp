// KtText: creation and end, the properties that store and re-show, the
// editing operations (each one edit-window message), the caption's layout and
// painting, the colour pair, and the property-bag keys.
#include "controls/kttext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "controls/controls_impl.h"
#include "controls/kttext_impl.h"
#include "model/units.h"
#include "platform/automation/error.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr const char* kClassName = "KtText";
constexpr UINT kRetakeFocus = WM_USER + 1;  // posted when the host refused to let the focus go

}  // namespace

KtText::KtText(HWND parent, const std::string& name, Container& site, bool runTime)
    : site_(site), runTime_(runTime), parent_(parent), defaultCaption_(name), ole_(std::make_unique<OleFace>()) {
  InitScreenMeasures();  // caption sizes in twips need the screen's pixels
  FontPtr ambient = site.AmbientFont();
  font_ = ambient ? ambient->Clone() : MakeFont("Arial", 8);
  label_.Caption = name;
  label_.Font = font_->Clone();
  label_.Forecolor = site.AmbientForeColor();
  captionBackColor_ = site.AmbientBackColor();
  controls::RegisterControlClass(kClassName, &KtText::ControlProc, CS_DBLCLKS);
  self_ = CreateWindowEx(0, kClassName, name.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0, parent, nullptr, nullptr,
                         nullptr);
  if (!self_) return;
  SetWindowLongPtr(self_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ole_->hwnd = self_;
  delay_.ThatTime = [this](CTimer&) { OnDelay(); };
  hfont_.reset(controls::CreateScreenFont(*font_));
  BuildEditWindow();
  AttachSubclass();
  // With the properties in place, as a control starts: the hook is there
  // before any container site, which only the focus announcement needs.
  modIPAO::Install(static_cast<ole::IOleObject*>(ole_.get()), this, self_);
}

KtText::~KtText() {
  delay_.Interval(0);
  if (!self_ || !IsWindow(self_)) return;
  DetachSubclass();
  modIPAO::Remove(self_);
  ReleaseColorObjects();
  SetWindowLongPtr(self_, GWLP_USERDATA, 0);
  DestroyWindow(self_);
}

void KtText::SetClientSite(ole::IOleClientSite* site) { ole_->site = site; }

void KtText::NotifyChanged(const char* name) { site_.PropertyChanged(name ? name : ""); }

// ---- text and number ----------------------------------------------------------------------

std::string KtText::Text() const {
  if (!edit_) return text_;
  return user::WindowText(edit_);
}

void KtText::ShowText(const std::string& text) {
  text_ = text;
  if (edit_) SetWindowText(edit_, text.c_str());
}

void KtText::Text(const std::string& v) {
  if (controlType_ != ktNumeric) {
    ShowText(autoUpperCase_ ? kttext::UpperText(v) : v);
    NotifyChanged("Text");
    return;
  }
  if (!v.empty() && !IsValidNumberText(v)) throw Error(ErrorCode::kInvalidPropertyValue, kLibraryName, "Invalid property value");
  ShowText(v);
  ParseValueText();
  if (!(v.empty() && allowBlank_) && !keepTyped_) ShowText(FormatValueText(HasFocus()));
  NotifyChanged("Text");
}

// The number in the form for the focus state; a number wider than LengthInt
// allows is still shown rather than refused.
void KtText::Reshow(bool editing) {
  const std::string t = FormatValueText(editing);
  if (IsValidNumberText(t) || t.empty()) {
    keepTyped_ = true;  // already in the wanted form
    Text(t);
    keepTyped_ = false;
  } else {
    ShowText(t);
  }
}

void KtText::Value(double v) {
  value_ = v;
  if (controlType_ == ktNumeric) {
    ShowText("0");  // no longer blank: the number shows even with AllowBlank
    Reshow(HasFocus());
  }
  NotifyChanged("Value");
}

void KtText::Blank(bool v) {
  if (controlType_ != ktNumeric || v == Blank()) return;
  if (v && allowBlank_)
    Text("");
  else if (value_ == 0)
    Text("0");
  else
    Reshow(HasFocus());
}

void KtText::AllowMinus(bool v) {
  allowMinus_ = v;
  if (!v && value_ < 0) Value(-value_);
  NotifyChanged("AllowMinus");
}

void KtText::LengthDec(std::int16_t v) { SetFormat(lengthDec_, std::clamp<std::int16_t>(v, 0, 10)); }
void KtText::LengthInt(std::int16_t v) { SetFormat(lengthInt_, std::clamp<std::int16_t>(v, 1, 15)); }

std::string KtText::FormattedText() const {
  return controlType_ == ktNumeric ? FormatValueText(false) : Text();
}

void KtText::ControlType(std::int32_t v) {
  if (v == controlType_) return;
  if (v == ktNumeric) {
    AutoScrollH(false);
    AutoScrollV(false);
    AutoUpperCase(false);
    Filter("");
    MaxLength(0);
    MultiLine(false);
    PasswordChar("");
    ScrollBars(0);
    Text("");
  }
  controlType_ = v;
  NotifyChanged("ControlType");
}

void KtText::AutoUpperCase(bool v) {
  if (controlType_ == ktFreeText) autoUpperCase_ = v;
}

void KtText::Filter(const std::string& v) {
  if (controlType_ == ktFreeText) filter_ = v;
}

void KtText::MaxLength(std::int32_t v) {
  if (controlType_ != ktFreeText) return;
  maxLength_ = v;
  if (edit_) SendMessage(edit_, EM_LIMITTEXT, static_cast<WPARAM>(std::max(v, 0)), 0);
}

void KtText::PasswordChar(const std::string& v) {
  if (controlType_ != ktFreeText) return;
  passwordChar_ = v;
  const std::u32string u = kttext::ToU32(v);
  if (edit_) SendMessage(edit_, EM_SETPASSWORDCHAR, u.empty() ? 0 : static_cast<WPARAM>(u[0]), 0);
}

bool KtText::Enabled() const { return IsWindowEnabled(self_) != FALSE; }

void KtText::Enabled(bool v) {
  EnableWindow(self_, v);
  if (edit_) EnableWindow(edit_, v);
  ReleaseColorObjects();
  Refresh();
}

void KtText::Font(FontPtr v) {
  font_ = v ? std::move(v) : MakeFont("Arial", 8);
  OwnedFont previous = std::move(hfont_);  // the edit lets go of it before it goes
  hfont_.reset(controls::CreateScreenFont(*font_));
  if (edit_) SendMessage(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(hfont_.get()), TRUE);
}

// ---- colours ---------------------------------------------------------------------------------

std::uint32_t KtText::CurrentBackColor() const {
  const std::uint32_t c = locked_ ? lockedBackColor_
                          : !Enabled() ? backDisabledColor_
                          : HasFocus() ? backFocusedColor_
                                       : backColor_;
  return OleTranslateColor(c);
}

std::uint32_t KtText::CurrentForeColor() const {
  const std::uint32_t c = locked_ ? lockedForeColor_ : !Enabled() ? foreDisabledColor_ : foreColor_;
  return OleTranslateColor(c);
}

HBRUSH KtText::BackBrush() {
  const std::uint32_t back = CurrentBackColor();
  if (backBrush_ && backBrushColor_ != back) ReleaseColorObjects();
  if (!backBrush_) {
    backBrush_.reset(CreateSolidBrush(back));
    backBrushColor_ = back;
  }
  return backBrush_;
}

void KtText::ReleaseColorObjects() {
  backBrush_.reset();
}

// ---- editing operations -------------------------------------------------------------------------

std::int32_t KtText::SelStart() const {
  DWORD s = 0, e = 0;
  SendMessage(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<std::int32_t>(s);
}

void KtText::SelStart(std::int32_t v) { SendMessage(edit_, EM_SETSEL, static_cast<WPARAM>(v), v); }

std::int32_t KtText::SelLength() const {
  DWORD s = 0, e = 0;
  SendMessage(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<std::int32_t>(e - s);
}

void KtText::SelLength(std::int32_t v) {
  const std::int32_t s = SelStart();
  SendMessage(edit_, EM_SETSEL, static_cast<WPARAM>(s), s + v);
}

std::string KtText::SelText() const {
  const std::int32_t s = SelStart();
  return TextInRange(s, s + SelLength());
}

void KtText::SelText(const std::string& v) {
  SendMessage(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(v.c_str()));
}

void KtText::TextAppend(const std::string& v) {
  const std::int32_t n = kttext::Length(Text());
  SendMessage(edit_, EM_SETSEL, static_cast<WPARAM>(n), n);
  SelText(v);
}

void KtText::SelectAll() {
  SendMessage(edit_, EM_SETSEL, 0, kttext::Length(Text()));
}

std::int32_t KtText::LineCount() const { return static_cast<std::int32_t>(SendMessage(edit_, EM_GETLINECOUNT, 0, 0)); }

std::int32_t KtText::CurrentLine() const {
  return static_cast<std::int32_t>(SendMessage(edit_, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0));
}

std::int32_t KtText::CurrentColumn() const {
  DWORD s = 0, e = 0;
  SendMessage(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  const auto line = SendMessage(edit_, EM_LINEFROMCHAR, static_cast<WPARAM>(e), 0);
  return static_cast<std::int32_t>(e) -
         static_cast<std::int32_t>(SendMessage(edit_, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
}

std::int32_t KtText::LineForCharacterIndex(std::int32_t index) const {
  return static_cast<std::int32_t>(SendMessage(edit_, EM_LINEFROMCHAR, static_cast<WPARAM>(index), 0));
}

POINT KtText::GetPosFromChar(std::int32_t index) const {
  const auto r = static_cast<std::uint32_t>(SendMessage(edit_, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0));
  return POINT{static_cast<std::int16_t>(r & 0xFFFF), static_cast<std::int16_t>(r >> 16)};
}

std::string KtText::TextInRange(std::int32_t from, std::int32_t to) const {
  const std::u32string t = kttext::ToU32(Text());
  from = std::clamp<std::int32_t>(from, 0, static_cast<std::int32_t>(t.size()));
  to = std::clamp<std::int32_t>(to, from, static_cast<std::int32_t>(t.size()));
  return kttext::ToU8(t.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
}

std::int32_t KtText::FirstVisibleLine() const {
  return static_cast<std::int32_t>(SendMessage(edit_, EM_GETFIRSTVISIBLELINE, 0, 0));
}

void KtText::ScrollToLine(std::int32_t line) {
  SendMessage(edit_, EM_LINESCROLL, 0, line - FirstVisibleLine());
}

void KtText::ScrollCaret() { SendMessage(edit_, EM_SCROLLCARET, 0, 0); }

void KtText::SetMargins(std::int32_t left, std::int32_t right) {
  SendMessage(edit_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(static_cast<WORD>(left), static_cast<WORD>(right)));
}

void KtText::GetMargins(std::int32_t& left, std::int32_t& right) const {
  const auto r = static_cast<std::uint32_t>(SendMessage(edit_, EM_GETMARGINS, 0, 0));
  left = static_cast<std::int32_t>(r & 0xFFFF);
  right = static_cast<std::int32_t>(r >> 16);
}

void KtText::SetTopMargin(std::int32_t top) {
  if (top == topMargin_) return;
  topMargin_ = std::max(0, top);
  LayoutCaption();
}

bool KtText::IsDirty() const { return SendMessage(edit_, EM_GETMODIFY, 0, 0) != 0; }
void KtText::IsDirty(bool v) { SendMessage(edit_, EM_SETMODIFY, v ? TRUE : FALSE, 0); }
bool KtText::HasFocus() const { return edit_ && GetFocus() == edit_; }

bool KtText::CanEditPerform(std::int32_t command) const {
  const bool selection = SelLength() > 0;
  switch (command) {
    case edCut: case edDelete: return selection && !locked_;
    case edCopy: return selection;
    case edPaste: return !locked_ && IsClipboardFormatAvailable(CF_TEXT);
    case edUndo: return !locked_ && SendMessage(edit_, EM_CANUNDO, 0, 0) != 0;
    case edSelectAll: return !Text().empty();
    default: return false;
  }
}

void KtText::EditPerform(std::int32_t command) {
  if (!CanEditPerform(command)) return;
  static constexpr UINT kMessages[] = {0, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, WM_UNDO};
  if (command == edSelectAll)
    SelectAll();
  else
    SendMessage(edit_, kMessages[command], 0, 0);
}

void KtText::Refresh() {
  InvalidateRect(self_, nullptr, TRUE);
  if (edit_) InvalidateRect(edit_, nullptr, TRUE);
}

void KtText::Move(int left, int top, int width, int height) { MoveWindow(self_, left, top, width, height, TRUE); }

// ---- caption ------------------------------------------------------------------------------------

void KtText::Caption(const std::string& v) {
  label_.Caption = v;
  LayoutCaption();
}
void KtText::CaptionAlignment(std::int32_t v) {
  captionAlignment_ = v;
  Refresh();
}
void KtText::CaptionBackColor(std::uint32_t v) {
  captionBackColor_ = v;
  Refresh();
}
void KtText::CaptionForeColor(std::uint32_t v) {
  label_.Forecolor = v;
  Refresh();
}
void KtText::CaptionFont(FontPtr v) {
  label_.Font = v ? std::move(v) : MakeFont("Arial", 8);
  Refresh();
}
void KtText::CaptionPosition(std::int32_t v) {
  captionPosition_ = v;
  LayoutCaption();
}
void KtText::CaptionSize(const std::string& v) {
  captionSize_ = v;
  LayoutCaption();
}

int KtText::TwipsToPixelsX(double twips) const { return static_cast<int>(std::lround(twips / TwipsPerPixelX())); }
int KtText::TwipsToPixelsY(double twips) const { return static_cast<int>(std::lround(twips / TwipsPerPixelY())); }

RECT KtText::CaptionRect() const {
  if (!label_.Visible) return RECT{0, 0, 0, 0};
  return RECT{label_.left, label_.top, label_.left + label_.Width, label_.top + label_.Height};
}

// The caption takes its size along one side; the edit window takes the rest.
// A negative CaptionSize is a percentage of the height (top, bottom) or the
// width (left, right); the label's place is kept in pixels.
void KtText::LayoutCaption() {
  if (!self_) return;
  RECT rc;
  GetClientRect(self_, &rc);
  const int w = rc.right, h = rc.bottom;
  const bool across = captionPosition_ == 1 || captionPosition_ == 3;
  int size = 0;
  if (!label_.Caption.empty()) {
    const double n = std::strtod(captionSize_.c_str(), nullptr);
    size = n >= 0 ? (across ? TwipsToPixelsX(n) : TwipsToPixelsY(n))
                  : static_cast<int>(std::lround(-n / 100.0 * (across ? w : h)));
  }
  RECT text = rc;
  label_.Visible = size >= 1;
  if (label_.Visible) {
    size = std::min(size, across ? w : h);
    switch (captionPosition_) {
      case 1: label_.left = 0, label_.top = 0, label_.Width = size, label_.Height = h, text.left = size; break;
      case 2: label_.left = 0, label_.top = h - size, label_.Width = w, label_.Height = size, text.bottom = h - size; break;
      case 3: label_.left = w - size, label_.top = 0, label_.Width = size, label_.Height = h, text.right = w - size; break;
      default: label_.left = 0, label_.top = 0, label_.Width = w, label_.Height = size, text.top = size; break;
    }
  }
  text.top = std::min(text.bottom, text.top + topMargin_);
  if (edit_) MoveWindow(edit_, text.left, text.top, text.right - text.left, text.bottom - text.top, TRUE);
  InvalidateRect(self_, nullptr, TRUE);
}

void KtText::PaintCaption(HDC dc) {
  if (!label_.Visible) return;
  const RECT rc = CaptionRect();
  FillRect(dc, &rc, OwnedBrush(CreateSolidBrush(OleTranslateColor(captionBackColor_))));
  const OwnedFont font(controls::CreateScreenFont(*label_.Font));
  DrawCaptionText(dc, label_.Caption, rc,
                  {.font = font,
                   .textColor = OleTranslateColor(label_.Forecolor),
                   .wordWrap = true,
                   .position = captionAlignment_});
}

LRESULT KtText::ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<KtText*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProc(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_SIZE: self->LayoutCaption(); return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      self->PaintCaption(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case kRetakeFocus:
      if (self->edit_) SetFocus(self->edit_);
      return 0;
    case WM_GETDLGCODE: return self->trapTab_ ? DLGC_WANTTAB : 0;
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

// ---- property bag -----------------------------------------------------------------------------------

std::vector<KtText::Persisted> KtText::PersistedDefaults() const {
  auto color = [](std::uint32_t c) { return Variant(static_cast<std::int32_t>(c)); };
  return {
      {"ControlType", Variant(std::int32_t{0})},  {"Text", Variant(std::string())},
      {"Value", Variant(0.0)},                    {"AllowBlank", Variant(false)},
      {"AllowMinus", Variant(true)},              {"FormatStr", Variant(std::string())},
      {"LeadingZeroes", Variant(false)},          {"LengthDec", Variant(std::int16_t{0})},
      {"LengthInt", Variant(std::int16_t{1})},    {"ThousandMarks", Variant(false)},
      {"AutoUpperCase", Variant(false)},          {"Filter", Variant(std::string())},
      {"MaxLength", Variant(std::int32_t{0})},    {"PasswordChar", Variant(std::string())},
      {"MultiLine", Variant(false)},              {"AutoScrollH", Variant(true)},
      {"AutoScrollV", Variant(true)},             {"AutoReturn", Variant(true)},
      {"AutoTab", Variant(true)},                 {"AutoExit", Variant(true)},
      {"Alignment", Variant(std::int32_t{0})},    {"Appearance", Variant(std::int32_t{1})},
      {"BorderStyle", Variant(std::int32_t{0})},  {"BackColor", color(0x80000005)},
      {"ForeColor", color(0x80000008)},           {"BackFocusedColor", color(14150898)},
      {"BackDisabledColor", color(0xE0E0E0)},     {"ForeDisabledColor", color(128)},
      {"Locked", Variant(false)},                 {"LockedBackColor", color(0x8000000F)},
      {"LockedForeColor", color(0x80000011)},     {"HideSelection", Variant(true)},
      {"ScrollBars", Variant(std::int32_t{0})},   {"AutoHighLight", Variant(false)},
      {"DisableContextMenu", Variant(false)},     {"DisableColumnChangeEvent", Variant(false)},
      {"IgnoreChangeEvent", Variant(false)},      {"TrapTab", Variant(false)},
      {"Enabled", Variant(true)},                 {"Caption", Variant(defaultCaption_)},
      {"CaptionAlignment", Variant(std::int32_t{3})},
      {"CaptionBackColor", color(site_.AmbientBackColor())},
      {"CaptionForeColor", color(site_.AmbientForeColor())},
      {"CaptionPosition", Variant(std::int32_t{0})}, {"CaptionSize", Variant(std::string("-50"))},
  };
}

std::vector<KtText::Persisted> KtText::PersistedValues() const {
  auto color = [](std::uint32_t c) { return Variant(static_cast<std::int32_t>(c)); };
  return {
      {"ControlType", Variant(controlType_)},     {"Text", Variant(Text())},
      {"Value", Variant(value_)},                 {"AllowBlank", Variant(allowBlank_)},
      {"AllowMinus", Variant(allowMinus_)},       {"FormatStr", Variant(formatStr_)},
      {"LeadingZeroes", Variant(leadingZeroes_)}, {"LengthDec", Variant(lengthDec_)},
      {"LengthInt", Variant(lengthInt_)},         {"ThousandMarks", Variant(thousandMarks_)},
      {"AutoUpperCase", Variant(autoUpperCase_)}, {"Filter", Variant(filter_)},
      {"MaxLength", Variant(maxLength_)},         {"PasswordChar", Variant(passwordChar_)},
      {"MultiLine", Variant(multiLine_)},         {"AutoScrollH", Variant(autoScrollH_)},
      {"AutoScrollV", Variant(autoScrollV_)},     {"AutoReturn", Variant(autoReturn_)},
      {"AutoTab", Variant(autoTab_)},             {"AutoExit", Variant(autoExit_)},
      {"Alignment", Variant(alignment_)},         {"Appearance", Variant(appearance_)},
      {"BorderStyle", Variant(borderStyle_)},     {"BackColor", color(backColor_)},
      {"ForeColor", color(foreColor_)},           {"BackFocusedColor", color(backFocusedColor_)},
      {"BackDisabledColor", color(backDisabledColor_)}, {"ForeDisabledColor", color(foreDisabledColor_)},
      {"Locked", Variant(locked_)},               {"LockedBackColor", color(lockedBackColor_)},
      {"LockedForeColor", color(lockedForeColor_)}, {"HideSelection", Variant(hideSelection_)},
      {"ScrollBars", Variant(scrollBars_)},       {"AutoHighLight", Variant(autoHighLight_)},
      {"DisableContextMenu", Variant(disableContextMenu_)},
      {"DisableColumnChangeEvent", Variant(disableColumnChangeEvent_)},
      {"IgnoreChangeEvent", Variant(ignoreChangeEvent_)}, {"TrapTab", Variant(trapTab_)},
      {"Enabled", Variant(Enabled())},            {"Caption", Variant(label_.Caption)},
      {"CaptionAlignment", Variant(captionAlignment_)}, {"CaptionBackColor", color(captionBackColor_)},
      {"CaptionForeColor", color(label_.Forecolor)}, {"CaptionPosition", Variant(captionPosition_)},
      {"CaptionSize", Variant(captionSize_)},
  };
}

// Keys are read in the order written; ControlType first, so that the
// text-only options of a numeric box are refused as they are when set.
void KtText::ReadProperties(const std::function<Variant(const std::string&, const Variant&)>& read) {
  for (const Persisted& p : PersistedDefaults()) {
    const Variant v = read(p.name, p.value);
    const std::string& n = p.name;
    auto color = [&v] { return static_cast<std::uint32_t>(v.ToLong()); };
    if (n == "ControlType") ControlType(v.ToLong());
    else if (n == "Text") text_ = v.ToString(), ShowText(text_);
    else if (n == "Value") value_ = v.ToDouble();
    else if (n == "AllowBlank") allowBlank_ = v.ToBool();
    else if (n == "AllowMinus") allowMinus_ = v.ToBool();
    else if (n == "FormatStr") formatStr_ = v.ToString();
    else if (n == "LeadingZeroes") leadingZeroes_ = v.ToBool();
    else if (n == "LengthDec") lengthDec_ = std::clamp<std::int16_t>(v.ToInteger(), 0, 10);
    else if (n == "LengthInt") lengthInt_ = std::clamp<std::int16_t>(v.ToInteger(), 1, 15);
    else if (n == "ThousandMarks") thousandMarks_ = v.ToBool();
    else if (n == "AutoUpperCase") AutoUpperCase(v.ToBool());
    else if (n == "Filter") Filter(v.ToString());
    else if (n == "MaxLength") MaxLength(v.ToLong());
    else if (n == "PasswordChar") PasswordChar(v.ToString());
    else if (n == "MultiLine") MultiLine(v.ToBool());
    else if (n == "AutoScrollH") AutoScrollH(v.ToBool());
    else if (n == "AutoScrollV") AutoScrollV(v.ToBool());
    else if (n == "AutoReturn") autoReturn_ = v.ToBool();
    else if (n == "AutoTab") autoTab_ = v.ToBool();
    else if (n == "AutoExit") autoExit_ = v.ToBool();
    else if (n == "Alignment") Alignment(v.ToLong());
    else if (n == "Appearance") Appearance(v.ToLong());
    else if (n == "BorderStyle") BorderStyle(v.ToLong());
    else if (n == "BackColor") backColor_ = color();
    else if (n == "ForeColor") foreColor_ = color();
    else if (n == "BackFocusedColor") backFocusedColor_ = color();
    else if (n == "BackDisabledColor") backDisabledColor_ = color();
    else if (n == "ForeDisabledColor") foreDisabledColor_ = color();
    else if (n == "Locked") locked_ = v.ToBool();
    else if (n == "LockedBackColor") lockedBackColor_ = color();
    else if (n == "LockedForeColor") lockedForeColor_ = color();
    else if (n == "HideSelection") HideSelection(v.ToBool());
    else if (n == "ScrollBars") ScrollBars(v.ToLong());
    else if (n == "AutoHighLight") autoHighLight_ = v.ToBool();
    else if (n == "DisableContextMenu") disableContextMenu_ = v.ToBool();
    else if (n == "DisableColumnChangeEvent") disableColumnChangeEvent_ = v.ToBool();
    else if (n == "IgnoreChangeEvent") ignoreChangeEvent_ = v.ToBool();
    else if (n == "TrapTab") trapTab_ = v.ToBool();
    else if (n == "Enabled") Enabled(v.ToBool());
    else if (n == "Caption") label_.Caption = v.ToString();
    else if (n == "CaptionAlignment") captionAlignment_ = v.ToLong();
    else if (n == "CaptionBackColor") captionBackColor_ = color();
    else if (n == "CaptionForeColor") label_.Forecolor = color();
    else if (n == "CaptionPosition") captionPosition_ = v.ToLong();
    else if (n == "CaptionSize") captionSize_ = v.ToString();
  }
  ReleaseColorObjects();
  LayoutCaption();
  Refresh();
}

}  // namespace ktfolio
