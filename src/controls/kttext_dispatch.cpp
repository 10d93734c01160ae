// KtText's published interface: every property of the box by name with its
// type, the editing methods, and its events with the parameters a handler
// may change, plus one line of description for each.
#include "controls/kttext_dispatch.h"

#include "controls/publish_impl.h"

namespace ktfolio {

namespace {

using namespace publish;

// "KtText1", "KtText2"...: the next default name among the form's boxes.
std::string NextName(const Form& form) {
  int n = 1;
  for (const Form::ChildInfo& c : form.Controls())
    if (c.cls == "KtText") ++n;
  return "KtText" + std::to_string(n);
}

}  // namespace

KtTextDispatch::KtTextDispatch(std::shared_ptr<Form> form)
    : form_(std::move(form)), box_(std::make_unique<KtText>(form_->hwnd(), NextName(*form_), *form_)) {
  box_->Move(0, 0, 200, 48);
  SetMemberName(box_->ControlWindow(), box_->Caption());
  Publish();
  PublishEvents();
  Document();
}

KtTextDispatch::~KtTextDispatch() = default;

void KtTextDispatch::Release() {
  Retire();
  box_.reset();
  form_.reset();
}

void KtTextDispatch::Publish() {
  KtText* t = box_.get();
  // Type and formats.
  KT_LONG(ControlType);
  KT_STR(Text);
  AddProperty("Value", D, [t] { return Variant(t->Value()); }, [t](const Variant& v) { t->Value(v.ToDouble()); });
  KT_BOOL(AllowBlank);
  KT_BOOL(AllowMinus);
  KT_STR(FormatStr);
  KT_BOOL(LeadingZeroes);
  KT_INT(LengthDec);
  KT_INT(LengthInt);
  KT_BOOL(ThousandMarks);
  KT_BOOL(Blank);
  AddProperty("FormattedText", Str, [t] { return Variant(t->FormattedText()); }, nullptr);
  // Free-text options.
  KT_BOOL(AutoUpperCase);
  KT_STR(Filter);
  KT_LONG(MaxLength);
  KT_STR(PasswordChar);
  KT_BOOL(MultiLine);
  KT_BOOL(AutoScrollH);
  KT_BOOL(AutoScrollV);
  KT_LONG(ScrollBars);
  KT_BOOL(AutoReturn);
  KT_BOOL(AutoTab);
  KT_BOOL(AutoExit);
  AddProperty("Version", Str, [t] { return Variant(t->Version()); }, nullptr);
  // Look.
  KT_LONG(Alignment);
  KT_LONG(Appearance);
  KT_LONG(BorderStyle);
  KT_BOOL(HideSelection);
  KT_COLOR(BackColor);
  KT_COLOR(ForeColor);
  KT_COLOR(BackFocusedColor);
  KT_COLOR(BackDisabledColor);
  KT_COLOR(ForeDisabledColor);
  KT_BOOL(Locked);
  KT_COLOR(LockedBackColor);
  KT_COLOR(LockedForeColor);
  KT_BOOL(Enabled);
  AddObjectProperty(
      "Font", [t]() -> DispatchPtr { return std::make_shared<FontDispatch>(t->Font()); },
      [this, t](const DispatchPtr& v) {
        auto font = std::dynamic_pointer_cast<FontDispatch>(v);
        if (!font) throw Fail(ErrorCode::kTypeMismatch, "Type mismatch: Font needs a font object");
        t->Font(font->Font());
      });
  // Behaviour.
  KT_BOOL(AutoHighLight);
  KT_BOOL(DisableContextMenu);
  KT_BOOL(DisableColumnChangeEvent);
  KT_BOOL(IgnoreChangeEvent);
  KT_BOOL(TrapTabKey);
  // Caption.
  KT_STR(Caption);
  KT_LONG(CaptionAlignment);
  KT_COLOR(CaptionBackColor);
  KT_COLOR(CaptionForeColor);
  KT_LONG(CaptionPosition);
  KT_STR(CaptionSize);
  // Editing state.
  KT_LONG(SelStart);
  KT_LONG(SelLength);
  KT_STR(SelText);
  KT_BOOL(IsDirty);
  AddProperty("LineCount", L, [t] { return Variant(t->LineCount()); }, nullptr);
  AddProperty("CurrentLine", L, [t] { return Variant(t->CurrentLine()); }, nullptr);
  AddProperty("CurrentColumn", L, [t] { return Variant(t->CurrentColumn()); }, nullptr);
  AddProperty("FirstVisibleLine", L, [t] { return Variant(t->FirstVisibleLine()); }, nullptr);
  AddProperty("HasFocus", B, [t] { return Variant(t->HasFocus()); }, nullptr);
  AddProperty("Tag", Str, [t] { return Variant(t->Tag); }, [t](const Variant& v) { t->Tag = v.ToString(); });
#undef KT_BOOL
#undef KT_LONG
#undef KT_INT
#undef KT_STR
#undef KT_COLOR

  AddProcedure("SelectAll", {}, [t](VariantArray&) { t->SelectAll(); });
  AddProcedure("TextAppend", {In("Text", Str)}, [t](VariantArray& a) { t->TextAppend(a[0].ToString()); });
  AddMethod(
      "LineForCharacterIndex", {In("Index", L)},
      [t](VariantArray& a) { return Variant(t->LineForCharacterIndex(a[0].ToLong())); }, L, true);
  AddMethod(
      "TextInRange", {In("FromPos", L), In("ToPos", L)},
      [t](VariantArray& a) { return Variant(t->TextInRange(a[0].ToLong(), a[1].ToLong())); }, Str, true);
  AddProcedure("ScrollToLine", {In("Line", L)}, [t](VariantArray& a) { t->ScrollToLine(a[0].ToLong()); });
  AddProcedure("ScrollCaret", {}, [t](VariantArray&) { t->ScrollCaret(); });
  AddProcedure("SetMargins", {In("LeftMargin", L), In("RightMargin", L)},
               [t](VariantArray& a) { t->SetMargins(a[0].ToLong(), a[1].ToLong()); });
  AddMethod(
      "CanEditPerform", {In("Command", L)}, [t](VariantArray& a) { return Variant(t->CanEditPerform(a[0].ToLong())); },
      B, true);
  AddProcedure("EditPerform", {In("Command", L)}, [t](VariantArray& a) { t->EditPerform(a[0].ToLong()); });
  AddProcedure("Refresh", {}, [t](VariantArray&) { t->Refresh(); });
  AddProcedure("SetFocus", {}, [t](VariantArray&) { win::SetFocus(t->hwnd()); });
  AddProcedure("Move", {In("Left", L), In("Top", L), In("Width", L), In("Height", L)}, [t](VariantArray& a) {
    t->Move(a[0].ToLong(), a[1].ToLong(), a[2].ToLong(), a[3].ToLong());
  });
  AddMethod(
      "IsDigit", {In("KeyAscii", I)}, [](VariantArray& a) { return Variant(KtText::IsDigit(a[0].ToInteger())); }, B,
      true);
  AddMethod(
      "IsLetter", {In("KeyAscii", I)}, [](VariantArray& a) { return Variant(KtText::IsLetter(a[0].ToInteger())); }, B,
      true);
  AddMethod(
      "TestFilter", {In("Filter", Str), In("KeyAscii", I)},
      [](VariantArray& a) { return Variant(KtText::TestFilter(a[0].ToString(), a[1].ToInteger())); }, B, true);
}

// The box's events become dispatch events; what a handler leaves in a
// by-reference parameter (a key code set to 0) goes back to the box.
void KtTextDispatch::PublishEvents() {
  KtText& t = *box_;
  const std::vector<DispParam> lines{In("Line", L), In("Column", L), In("LineCount", L)};
  const std::vector<DispParam> mouse{In("Button", I), In("Shift", I), In("X", S), In("Y", S)};
  AddEvent("Change", {});
  AddEvent("Click", {In("Button", I)});
  AddEvent("ColumnChange", lines);
  AddEvent("DblClick", {In("Button", I)});
  AddEvent("KeyDown", {ByRef(In("KeyCode", I)), In("Shift", I)});
  AddEvent("KeyPress", {ByRef(In("KeyAscii", I)), In("Shift", I)});
  AddEvent("KeyUp", {ByRef(In("KeyCode", I)), In("Shift", I)});
  AddEvent("LineChange", lines);
  AddEvent("MouseDown", mouse);
  AddEvent("MouseMove", mouse);
  AddEvent("MouseUp", mouse);
  AddEvent("HScroll", {});
  AddEvent("VScroll", {});

  auto plain = [this](const char* name) {
    return [this, name] {
      VariantArray a;
      Fire(name, a);
    };
  };
  auto button = [this](const char* name) {
    return [this, name](std::int16_t b) {
      VariantArray a{Variant(b)};
      Fire(name, a);
    };
  };
  auto line = [this](const char* name) {
    return [this, name](std::int32_t l, std::int32_t c, std::int32_t n) {
      VariantArray a{Variant(l), Variant(c), Variant(n)};
      Fire(name, a);
    };
  };
  auto key = [this](const char* name) {
    return [this, name](std::int16_t& code, std::int16_t shift) {
      VariantArray a{Variant(code), Variant(shift)};
      Fire(name, a);
      code = a[0].ToInteger();
    };
  };
  auto pointer = [this](const char* name) {
    return [this, name](std::int16_t b, std::int16_t shift, float x, float y) {
      VariantArray a{Variant(b), Variant(shift), Variant(x), Variant(y)};
      Fire(name, a);
    };
  };
  t.Change = plain("Change");
  t.Click = button("Click");
  t.ColumnChange = line("ColumnChange");
  t.DblClick = button("DblClick");
  t.KeyDown = key("KeyDown");
  t.KeyPress = key("KeyPress");
  t.KeyUp = key("KeyUp");
  t.LineChange = line("LineChange");
  t.MouseDown = pointer("MouseDown");
  t.MouseMove = pointer("MouseMove");
  t.MouseUp = pointer("MouseUp");
  t.HScroll = plain("HScroll");
  t.VScroll = plain("VScroll");
}

void KtTextDispatch::Document() {
  static constexpr std::pair<const char*, const char*> kDescriptions[] = {
      {"ControlType", "0 free text, 1 numeric."},
      {"Text", "The text; numeric boxes refuse a text that is no number of their shape (error 380)."},
      {"Value", "The number of a numeric box."},
      {"AllowBlank", "Numeric: an empty text stands for zero."},
      {"AllowMinus", "Numeric: negative numbers are allowed."},
      {"FormatStr", "Numeric: a display picture such as #,##0.00; an unusable one falls back to the built-in form."},
      {"LeadingZeroes", "Numeric: pad the integer part with zeroes when not editing."},
      {"LengthDec", "Numeric: decimal digits, 0..10."},
      {"LengthInt", "Numeric: integer digits, 1..15."},
      {"ThousandMarks", "Numeric: thousands marks (.) when not editing."},
      {"Blank", "True when the text is empty."},
      {"FormattedText", "The text, or for a numeric box the display form of its value."},
      {"AutoUpperCase", "Free text: typed characters are upper-cased."},
      {"Filter", "Free text: the characters allowed, with ranges (a-z); a backslash escapes a character or starts a hex code."},
      {"MaxLength", "Free text: the most characters; 0 is no limit."},
      {"PasswordChar", "Free text: the character shown in place of each one typed."},
      {"MultiLine", "Free text: several lines (rebuilds the edit window)."},
      {"AutoReturn", "Enter moves to the next control."},
      {"AutoTab", "Typing the last allowed character moves to the next control."},
      {"AutoExit", "Arrow keys that would leave the text are cancelled after KeyDown."},
      {"BackFocusedColor", "The background while the box has the focus."},
      {"Locked", "Read-only: typing, Delete, paste and clear are ignored."},
      {"Caption", "The caption beside the edit window; empty hides it."},
      {"CaptionPosition", "The caption's side: 0 top, 1 left, 2 bottom, 3 right."},
      {"CaptionSize", "Twips when 0 or more; a negative value is a percentage of the box."},
      {"TrapTabKey", "Tab is kept in the text instead of moving the focus."},
      {"Move", "Moves and sizes the box, in pixels of the form."},
      {"TestFilter", "True when KeyAscii passes the filter."},
      {"EditPerform", "Runs a context-menu command: 1 cut, 2 copy, 3 paste, 4 delete, 5 undo, 6 select all."},
      {"Change", "25 ms after the last accepted character."},
      {"KeyDown", "Before the edit window sees the key; KeyCode 0 cancels it."},
      {"KeyPress", "Before the character is typed; KeyAscii 0 drops it."},
      {"LineChange", "The caret moved to another line, or the line count changed."},
      {"ColumnChange", "The caret moved within its line."},
  };
  for (const auto& [name, doc] : kDescriptions) Describe(name, doc);
}

}  // namespace ktfolio
