// KtBoton's and KtMarco's published interfaces: their properties by name with
// their types, their methods, and their events with the parameters a handler
// may change. Pictures are not published: no picture object travels by name.
#include "controls/companion_dispatch.h"

#include <set>

#include "controls/publish_impl.h"

namespace ktfolio {

namespace {

using namespace publish;

// "KtBoton1", "KtBoton2"...: the first such name not in use on the form (the
// toolbar's own buttons have names of their own).
std::string NextName(const Form& form, const std::string& cls) {
  std::set<std::string> used;
  for (const Form::ChildInfo& c : form.Controls()) used.insert(c.name);
  int n = 1;
  while (used.count(cls + std::to_string(n))) ++n;
  return cls + std::to_string(n);
}

}  // namespace

// What only the button and the frame publish, over a control `t`.
#define KT_FONT(N)                                                                                         \
  AddObjectProperty(                                                                                       \
      #N, [t]() -> DispatchPtr { return std::make_shared<FontDispatch>(t->N()); },                         \
      [this, t](const DispatchPtr& v) {                                                                    \
        auto font = std::dynamic_pointer_cast<FontDispatch>(v);                                            \
        if (!font) throw Fail(ErrorCode::kTypeMismatch, "Type mismatch: " #N " needs a font object");          \
        t->N(font->Font());                                                                                \
      })
// Whether the window shows: what HideChildren and ShowChildren change.
#define KT_VISIBLE()                                                                    \
  AddProperty("Visible", B, [t] { return Variant(win::IsWindowVisible(t->hwnd()) != 0); }, \
              [t](const Variant& v) { win::ShowWindow(t->hwnd(), v.ToBool() ? win::SW_SHOW : win::SW_HIDE); })


// ---- KtBoton -------------------------------------------------------------------------

KtBotonDispatch::KtBotonDispatch(std::shared_ptr<Form> form, win::HWND parent)
    : form_(std::move(form)),
      button_(std::make_unique<KtBoton>(parent ? parent : form_->hwnd(), NextName(*form_, "KtBoton"), *form_)) {
  win::MoveWindow(button_->hwnd(), 0, 0, 80, 24, win::TRUE);
  SetMemberName(button_->hwnd(), button_->Caption());
  Publish();
  PublishEvents();
}

KtBotonDispatch::~KtBotonDispatch() = default;

void KtBotonDispatch::Release() {
  Retire();
  button_.reset();
  form_.reset();
}

void KtBotonDispatch::Publish() {
  KtBoton* t = button_.get();
  KT_COLOR(BackColor);
  KT_COLOR(BackPressedColor);
  KT_COLOR(BackLightColor);
  KT_COLOR(BackShadowColor);
  KT_LONG(BevelWidth);
  KT_LONG(BorderWidth);
  KT_LONG(BorderFocusedWidth);
  AddProperty("Caption", Str, [t] { return Variant(t->Caption()); }, [t](const Variant& v) { t->Caption(v.ToString()); });
  KT_LONG(CaptionPos);
  KT_BOOL(ClickFocused);
  KT_BOOL(Enabled);
  KT_FONT(Font);
  KT_COLOR(ForeColor);
  KT_COLOR(ForeFocusedColor);
  KT_STR(IconName);
  KT_LONG(MarginWidth);
  KT_INT(MousePointer);
  KT_LONG(PictureWidth);
  KT_LONG(PictureHeight);
  KT_LONG(PicturePos);
  KT_LONG(ShadeMode);
  KT_BOOL(ShowFocusRect);
  KT_LONG(Style);
  KT_LONG(Value);
  KT_BOOL(Pressed);
  AddProperty("Tag", Str, [t] { return Variant(t->Tag); }, [t](const Variant& v) { t->Tag = v.ToString(); });
  AddProperty("ToolTipText", Str, [t] { return Variant(t->ToolTipText); },
              [t](const Variant& v) { t->ToolTipText = v.ToString(); });
  KT_VISIBLE();

  AddProcedure("DoClick", {}, [t](VariantArray&) { t->DoClick(); });
  AddProcedure("Refresh", {}, [t](VariantArray&) { t->Refresh(); });
  AddProcedure("SetFocus", {}, [t](VariantArray&) { win::SetFocus(t->hwnd()); });
  AddProcedure("Move", {In("Left", L), In("Top", L), In("Width", L), In("Height", L)}, [t](VariantArray& a) {
    win::MoveWindow(t->hwnd(), a[0].ToLong(), a[1].ToLong(), a[2].ToLong(), a[3].ToLong(), win::TRUE);
  });

  Describe("Style", "0 push button, 1 toggle button (a user's click flips Value between -1 and 0), 2 flat.");
  Describe("Value", "The toggle state; Pressed is Value <> 0.");
  Describe("Caption", "The caption; '&' marks the access key (Alt+letter clicks the button).");
  Describe("ClickFocused", "A click first takes the focus.");
  Describe("DoClick", "Clicks from code when enabled and visible; with ClickFocused and the focus elsewhere, "
                      "the click waits for the focus it takes, and counts as the user's.");
  Describe("Move", "Moves and sizes the button, in pixels of its parent.");
  Describe("Click", "The button was clicked: mouse, Space, Enter, its access key or DoClick.");
  Describe("KeyDown", "Before the button acts on a key; arrows then move the focus.");
}

void KtBotonDispatch::PublishEvents() {
  KtBoton& t = *button_;
  const std::vector<DispParam> mouse{In("Button", I), In("Shift", I), In("X", S), In("Y", S)};
  AddEvent("Click", {});
  AddEvent("MouseDown", mouse);
  AddEvent("MouseMove", mouse);
  AddEvent("MouseUp", mouse);
  AddEvent("KeyDown", {ByRef(In("KeyCode", I)), In("Shift", I)});
  AddEvent("KeyPress", {ByRef(In("KeyAscii", I))});
  AddEvent("KeyUp", {ByRef(In("KeyCode", I)), In("Shift", I)});

  t.Click = [this] {
    VariantArray a;
    Fire("Click", a);
  };
  auto pointer = [this](const char* name) {
    return [this, name](std::int16_t b, std::int16_t shift, float x, float y) {
      VariantArray a{Variant(b), Variant(shift), Variant(x), Variant(y)};
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
  t.MouseDown = pointer("MouseDown");
  t.MouseMove = pointer("MouseMove");
  t.MouseUp = pointer("MouseUp");
  t.KeyDown = key("KeyDown");
  t.KeyUp = key("KeyUp");
  t.KeyPress = [this](std::int16_t& ascii) {
    VariantArray a{Variant(ascii)};
    Fire("KeyPress", a);
    ascii = a[0].ToInteger();
  };
}

// ---- KtMarco -------------------------------------------------------------------------

KtMarcoDispatch::KtMarcoDispatch(std::shared_ptr<Form> form, win::HWND parent)
    : form_(std::move(form)),
      frame_(std::make_unique<KtMarco>(parent ? parent : form_->hwnd(), NextName(*form_, "KtMarco"), *form_)) {
  win::MoveWindow(frame_->hwnd(), 0, 0, 160, 100, win::TRUE);
  SetMemberName(frame_->hwnd(), frame_->Caption());
  Publish();
  PublishEvents();
}

KtMarcoDispatch::~KtMarcoDispatch() = default;

void KtMarcoDispatch::Release() {
  Retire();
  frame_.reset();
  form_.reset();
}

void KtMarcoDispatch::Publish() {
  KtMarco* t = frame_.get();
  KT_COLOR(BackColor);
  KT_COLOR(BackLightColor);
  KT_COLOR(BackShadowColor);
  KT_LONG(BevelOuter);
  KT_LONG(BevelInner);
  KT_LONG(BevelWidth);
  KT_LONG(BorderWidth);
  AddProperty("Caption", Str, [t] { return Variant(t->Caption()); }, [t](const Variant& v) { t->Caption(v.ToString()); });
  KT_LONG(CaptionPos);
  KT_BOOL(Enabled);
  KT_LONG(Flood);
  KT_COLOR(FloodColor);
  KT_INT(FloodPercent);
  KT_BOOL(FloodShowPct);
  KT_FONT(Font);
  KT_INT(FontSlip);
  KT_LONG(FontStyle);
  KT_COLOR(ForeColor);
  KT_LONG(Frame);
  KT_LONG(FrameAlign);
  KT_COLOR(FrameColor);
  KT_FONT(FrameFont);
  KT_STR(FrameTitle);
  KT_LONG(FrameWidth);
  KT_LONG(MarginWidth);
  KT_LONG(Mosaic);
  KT_INT(MosaicBorder);
  KT_INT(MousePointer);
  KT_BOOL(WordWrap);
  KT_VISIBLE();

  AddProcedure("HideChildren", {}, [t](VariantArray&) { t->HideChildren(); });
  AddProcedure("ShowChildren", {}, [t](VariantArray&) { t->ShowChildren(); });
  AddProcedure("Refresh", {}, [t](VariantArray&) { t->Refresh(); });
  AddProcedure("Move", {In("Left", L), In("Top", L), In("Width", L), In("Height", L)}, [t](VariantArray& a) {
    win::MoveWindow(t->hwnd(), a[0].ToLong(), a[1].ToLong(), a[2].ToLong(), a[3].ToLong(), win::TRUE);
  });

  Describe("Flood", "The side the fill grows from: 0 none, 1 to right, 2 to left, 3 to top, 4 to bottom.");
  Describe("FloodPercent", "The part filled, clamped to 0..100; a change with a flood raises FloodChange.");
  Describe("FloodShowPct", "Shows the percentage instead of the caption, inverted over the fill.");
  Describe("HideChildren", "Hides every control placed inside the frame.");
  Describe("ShowChildren", "Shows every control placed inside the frame.");
  Describe("Move", "Moves and sizes the frame, in pixels of its parent.");
  Describe("FloodChange", "FloodPercent changed while a flood is set.");
}

void KtMarcoDispatch::PublishEvents() {
  KtMarco& t = *frame_;
  for (const char* name : {"Click", "DblClick", "FloodChange", "Resize"}) AddEvent(name, {});
  auto plain = [this](const char* name) {
    return [this, name] {
      VariantArray a;
      Fire(name, a);
    };
  };
  t.Click = plain("Click");
  t.DblClick = plain("DblClick");
  t.FloodChange = plain("FloodChange");
  t.Resize = plain("Resize");
}

#undef KT_BOOL
#undef KT_LONG
#undef KT_INT
#undef KT_STR
#undef KT_COLOR
#undef KT_FONT
#undef KT_VISIBLE

}  // namespace ktfolio
