// GTK 3 backend: every top-level window becomes a GtkWindow holding a drawing
// area that shows the window's backing surface. GTK input is turned into raw
// input for the window manager, and waiting for messages runs GTK's main loop,
// so GTK drives timers, posted messages and repaints alike. Keys pass through
// an input method, whose committed text arrives as characters.
#include <gtk/gtk.h>

#include <cairo.h>

#include "platform/gdi/gdi_internal.h"
#include "platform/user/user_internal.h"

namespace ktfolio::win {
namespace detail {
namespace {

struct Native {
  HWND hwnd = nullptr;
  GtkWidget* window = nullptr;
  GtkWidget* area = nullptr;
  bool shown = false;
  // The input method (dead keys, compose, the methods of Chinese, Japanese,
  // Korean): its text in the making, shown at the caret, and what it commits
  // while a key is being filtered.
  GtkIMContext* im = nullptr;
  std::string preedit;
  bool filtering = false;
  std::string committed;
};

Native* NativeOf(Window& w) { return static_cast<Native*>(w.native); }

int VkFromKeyval(guint kv, char32_t* ch) {
  *ch = 0;
  if (kv >= GDK_KEY_a && kv <= GDK_KEY_z) return static_cast<int>('A' + (kv - GDK_KEY_a));
  if (kv >= GDK_KEY_A && kv <= GDK_KEY_Z) return static_cast<int>('A' + (kv - GDK_KEY_A));
  if (kv >= GDK_KEY_0 && kv <= GDK_KEY_9) return static_cast<int>('0' + (kv - GDK_KEY_0));
  if (kv >= GDK_KEY_F1 && kv <= GDK_KEY_F12) return VK_F1 + static_cast<int>(kv - GDK_KEY_F1);
  switch (kv) {
    case GDK_KEY_Return: case GDK_KEY_KP_Enter: return VK_RETURN;
    case GDK_KEY_BackSpace: return VK_BACK;
    case GDK_KEY_Tab: case GDK_KEY_ISO_Left_Tab: return VK_TAB;
    case GDK_KEY_Escape: return VK_ESCAPE;
    case GDK_KEY_space: return VK_SPACE;
    case GDK_KEY_Left: return VK_LEFT;
    case GDK_KEY_Right: return VK_RIGHT;
    case GDK_KEY_Up: return VK_UP;
    case GDK_KEY_Down: return VK_DOWN;
    case GDK_KEY_Home: return VK_HOME;
    case GDK_KEY_End: return VK_END;
    case GDK_KEY_Page_Up: return VK_PRIOR;
    case GDK_KEY_Page_Down: return VK_NEXT;
    case GDK_KEY_Insert: return VK_INSERT;
    case GDK_KEY_Delete: return VK_DELETE;
    case GDK_KEY_Shift_L: case GDK_KEY_Shift_R: return VK_SHIFT;
    case GDK_KEY_Control_L: case GDK_KEY_Control_R: return VK_CONTROL;
    case GDK_KEY_Alt_L: case GDK_KEY_Alt_R: return VK_MENU;
    case GDK_KEY_Caps_Lock: return VK_CAPITAL;
    case GDK_KEY_semicolon: case GDK_KEY_colon: return VK_OEM_1;
    case GDK_KEY_equal: case GDK_KEY_plus: return VK_OEM_PLUS;
    case GDK_KEY_comma: case GDK_KEY_less: return VK_OEM_COMMA;
    case GDK_KEY_minus: case GDK_KEY_underscore: return VK_OEM_MINUS;
    case GDK_KEY_period: case GDK_KEY_greater: return VK_OEM_PERIOD;
    case GDK_KEY_slash: case GDK_KEY_question: return VK_OEM_2;
    case GDK_KEY_grave: case GDK_KEY_asciitilde: return VK_OEM_3;
    case GDK_KEY_bracketleft: case GDK_KEY_braceleft: return VK_OEM_4;
    case GDK_KEY_backslash: case GDK_KEY_bar: return VK_OEM_5;
    case GDK_KEY_bracketright: case GDK_KEY_braceright: return VK_OEM_6;
    case GDK_KEY_apostrophe: case GDK_KEY_quotedbl: return VK_OEM_7;
    default: break;
  }
  guint32 uc = gdk_keyval_to_unicode(kv);
  if (uc >= 0x20) {
    *ch = uc;
    return 0xE7;  // VK_PACKET: the character travels with the key
  }
  return 0;
}

// Window coordinates of the drawing area -> client coordinates of the top-level.
POINT ToClient(HWND hwnd, double x, double y) {
  Window* w = Find(hwnd);
  RECT c = w ? ClientRectInWindow(*w) : RECT{};
  return POINT{static_cast<LONG>(x) - c.left, static_cast<LONG>(y) - c.top};
}

// Text an input method settled on goes to the focus window as characters,
// each one a key of its own (VK_PACKET), in order with the keys typed before it.
void DeliverText(const std::string& utf8) {
  for (const char* p = utf8.c_str(); *p; p = g_utf8_next_char(p)) {
    user::InjectKey(0xE7, true, g_utf8_get_char(p));
    user::InjectKey(0xE7, false);
  }
}

void OnCommit(GtkIMContext*, const gchar* text, gpointer data) {
  auto* n = static_cast<Native*>(data);
  if (n->filtering) n->committed += text;
  else DeliverText(text);
}

void OnPreeditChanged(GtkIMContext* im, gpointer data) {
  auto* n = static_cast<Native*>(data);
  gchar* text = nullptr;
  gtk_im_context_get_preedit_string(im, &text, nullptr, nullptr);
  n->preedit = text ? text : "";
  g_free(text);
  gtk_widget_queue_draw(n->area);
}

void OnRealize(GtkWidget* area, gpointer data) {
  gtk_im_context_set_client_window(static_cast<Native*>(data)->im, gtk_widget_get_window(area));
}

gboolean OnFocusChange(GtkWidget*, GdkEventFocus* ev, gpointer data) {
  auto* n = static_cast<Native*>(data);
  if (ev->in) gtk_im_context_focus_in(n->im);
  else gtk_im_context_focus_out(n->im);
  return FALSE;
}

// The text being composed, underlined on a white box at the caret, where the
// input method's candidate window is also told to appear.
void DrawPreedit(Native& n, cairo_t* cr, const RECT& caret) {
  GdkRectangle at{caret.left, caret.top, caret.right - caret.left, caret.bottom - caret.top};
  gtk_im_context_set_cursor_location(n.im, &at);
  if (n.preedit.empty()) return;
  PangoLayout* layout = pango_cairo_create_layout(cr);
  pango_layout_set_text(layout, n.preedit.data(), static_cast<int>(n.preedit.size()));
  PangoAttrList* attrs = pango_attr_list_new();
  pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  pango_layout_set_attributes(layout, attrs);
  pango_attr_list_unref(attrs);
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_rectangle(cr, caret.left, caret.top, w + 2, h);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_move_to(cr, caret.left + 1, caret.top);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);
}

gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer data) {
  auto* n = static_cast<Native*>(data);
  Window* w = Find(n->hwnd);
  if (!w) return TRUE;
  if (w->backing) {
    cairo_surface_t* s = BitmapSurface(w->backing);
    cairo_surface_flush(s);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_paint(cr);
  } else {
    cairo_set_source_rgb(cr, 0.83, 0.82, 0.78);
    cairo_paint(cr);
  }
  RECT caret;
  if (CaretRectInTop(n->hwnd, &caret)) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, caret.left, caret.top, caret.right - caret.left, caret.bottom - caret.top);
    cairo_fill(cr);
    DrawPreedit(*n, cr, caret);
  }
  return TRUE;
}

int ButtonOf(guint b) { return b == 1 ? 1 : b == 3 ? 2 : 3; }

gboolean OnButton(GtkWidget*, GdkEventButton* ev, gpointer data) {
  auto* n = static_cast<Native*>(data);
  if (ev->type != GDK_BUTTON_PRESS && ev->type != GDK_BUTTON_RELEASE) return TRUE;  // we count double clicks ourselves
  POINT p = ToClient(n->hwnd, ev->x, ev->y);
  user::InjectMouseButton(n->hwnd, ButtonOf(ev->button), ev->type == GDK_BUTTON_PRESS, p.x, p.y);
  return TRUE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* ev, gpointer data) {
  auto* n = static_cast<Native*>(data);
  POINT p = ToClient(n->hwnd, ev->x, ev->y);
  user::InjectMouseMove(n->hwnd, p.x, p.y);
  return TRUE;
}

gboolean OnLeave(GtkWidget*, GdkEventCrossing* ev, gpointer data) {
  if (ev->mode == GDK_CROSSING_NORMAL) user::InjectMouseLeave(static_cast<Native*>(data)->hwnd);
  return TRUE;
}

// The input method sees every key first. A key it used to type just its own
// character takes the key path (WM_KEYDOWN, then WM_CHAR from the layout);
// a key it used otherwise delivers what it committed, or nothing while it composes.
bool InputMethodTookKey(Native& n, GdkEventKey* ev) {
  n.filtering = true;
  n.committed.clear();
  const bool used = gtk_im_context_filter_keypress(n.im, ev);
  n.filtering = false;
  if (!used) return false;
  const gunichar own = gdk_keyval_to_unicode(ev->keyval);
  const char* c = n.committed.c_str();
  const bool typedItself = ev->type == GDK_KEY_PRESS && own >= 0x20 && !(ev->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) &&
                           *c && g_utf8_get_char(c) == own && !*g_utf8_next_char(c);
  if (typedItself) return false;
  DeliverText(n.committed);
  return true;
}

gboolean OnKey(GtkWidget*, GdkEventKey* ev, gpointer data) {
  if (InputMethodTookKey(*static_cast<Native*>(data), ev)) return TRUE;
  char32_t ch = 0;
  int vk = VkFromKeyval(ev->keyval, &ch);
  if (!vk) return TRUE;
  bool down = ev->type == GDK_KEY_PRESS;
  // with Ctrl or Alt the layout decides (Ctrl+C is character 3, not 'c')
  if (ev->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) ch = 0;
  user::InjectKey(vk, down, down ? ch : 0);
  return TRUE;
}

gboolean OnFocusIn(GtkWidget*, GdkEventFocus*, gpointer data) {
  SetActiveWindow(static_cast<Native*>(data)->hwnd);
  return FALSE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  PostMessage(static_cast<Native*>(data)->hwnd, WM_CLOSE, 0, 0);
  return TRUE;  // the window manager decides, as Win32's WM_CLOSE does
}

void OnSizeAllocate(GtkWidget*, GdkRectangle* a, gpointer data) {
  auto* n = static_cast<Native*>(data);
  Window* w = Find(n->hwnd);
  if (!w) return;
  if (a->width != w->rect.right - w->rect.left || a->height != w->rect.bottom - w->rect.top)
    SetWindowPos(n->hwnd, nullptr, 0, 0, a->width, a->height, SWP_NOMOVE | SWP_NOZORDER);
}

gboolean OnTimeout(gpointer data) {
  *static_cast<bool*>(data) = true;
  return G_SOURCE_REMOVE;
}

const char* CursorName(HCURSOR c) {
  switch (reinterpret_cast<std::uintptr_t>(c)) {
    case IDC_IBEAM_ID: return "text";
    case IDC_WAIT_ID: return "wait";
    case IDC_CROSS_ID: return "crosshair";
    case IDC_SIZEALL_ID: return "move";
    case IDC_HAND_ID: return "pointer";
    default: return "default";
  }
}

class GtkBackend : public Backend {
 public:
  bool IsGtk() const override { return true; }

  int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override {
    GtkMessageType kind = GTK_MESSAGE_OTHER;
    switch (type & 0xF0) {
      case MB_ICONERROR: kind = GTK_MESSAGE_ERROR; break;
      case MB_ICONQUESTION: kind = GTK_MESSAGE_QUESTION; break;
      case MB_ICONWARNING: kind = GTK_MESSAGE_WARNING; break;
      case MB_ICONINFORMATION: kind = GTK_MESSAGE_INFO; break;
      default: break;
    }
    GtkWindow* parent = nullptr;
    Window* top = Find(owner);
    while (top && top->parent) top = Find(top->parent);
    if (top && top->native) parent = GTK_WINDOW(NativeOf(*top)->window);
    GtkWidget* dialog = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, kind, GTK_BUTTONS_NONE, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
    struct Button {
      const char* label;
      int id;
    };
    std::vector<Button> buttons;
    switch (type & 0xF) {
      case MB_OKCANCEL: buttons = {{"_OK", IDOK}, {"_Cancel", IDCANCEL}}; break;
      case MB_ABORTRETRYIGNORE: buttons = {{"_Abort", IDABORT}, {"_Retry", IDRETRY}, {"_Ignore", IDIGNORE}}; break;
      case MB_YESNOCANCEL: buttons = {{"_Yes", IDYES}, {"_No", IDNO}, {"_Cancel", IDCANCEL}}; break;
      case MB_YESNO: buttons = {{"_Yes", IDYES}, {"_No", IDNO}}; break;
      case MB_RETRYCANCEL: buttons = {{"_Retry", IDRETRY}, {"_Cancel", IDCANCEL}}; break;
      default: buttons = {{"_OK", IDOK}}; break;
    }
    for (const Button& b : buttons) gtk_dialog_add_button(GTK_DIALOG(dialog), b.label, b.id);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), buttons.front().id);
    int pressed = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    while (gtk_events_pending()) gtk_main_iteration();
    // Closing the box by its frame answers as Win32 does: Cancel where there is
    // one, else the only button.
    if (pressed <= 0) {
      pressed = buttons.front().id;
      for (const Button& b : buttons)
        if (b.id == IDCANCEL) pressed = IDCANCEL;
      if ((type & 0xF) == MB_YESNO) pressed = IDNO;
    }
    return pressed;
  }

  void TopLevelCreated(Window& w) override {
    auto* n = new Native;
    n->hwnd = w.handle;
    n->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    n->area = gtk_drawing_area_new();
    gtk_widget_set_can_focus(n->area, TRUE);
    gtk_widget_add_events(n->area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                       GDK_LEAVE_NOTIFY_MASK | GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK |
                                       GDK_FOCUS_CHANGE_MASK);
    gtk_container_add(GTK_CONTAINER(n->window), n->area);
    g_signal_connect(n->area, "draw", G_CALLBACK(OnDraw), n);
    g_signal_connect(n->area, "button-press-event", G_CALLBACK(OnButton), n);
    g_signal_connect(n->area, "button-release-event", G_CALLBACK(OnButton), n);
    g_signal_connect(n->area, "motion-notify-event", G_CALLBACK(OnMotion), n);
    g_signal_connect(n->area, "leave-notify-event", G_CALLBACK(OnLeave), n);
    g_signal_connect(n->area, "key-press-event", G_CALLBACK(OnKey), n);
    g_signal_connect(n->area, "key-release-event", G_CALLBACK(OnKey), n);
    g_signal_connect(n->window, "focus-in-event", G_CALLBACK(OnFocusIn), n);
    g_signal_connect(n->window, "delete-event", G_CALLBACK(OnDelete), n);
    g_signal_connect(n->area, "size-allocate", G_CALLBACK(OnSizeAllocate), n);
    n->im = gtk_im_multicontext_new();
    g_signal_connect(n->im, "commit", G_CALLBACK(OnCommit), n);
    g_signal_connect(n->im, "preedit-changed", G_CALLBACK(OnPreeditChanged), n);
    g_signal_connect(n->area, "realize", G_CALLBACK(OnRealize), n);
    g_signal_connect(n->window, "focus-in-event", G_CALLBACK(OnFocusChange), n);
    g_signal_connect(n->window, "focus-out-event", G_CALLBACK(OnFocusChange), n);
    w.native = n;
    TopLevelChanged(w);
  }

  void TopLevelDestroyed(Window& w) override {
    Native* n = NativeOf(w);
    if (!n) return;
    gtk_im_context_set_client_window(n->im, nullptr);
    g_object_unref(n->im);
    gtk_widget_destroy(n->window);
    delete n;
    w.native = nullptr;
  }

  void TopLevelChanged(Window& w) override {
    Native* n = NativeOf(w);
    if (!n) return;
    gtk_window_set_title(GTK_WINDOW(n->window), w.text.c_str());
    int width = std::max<LONG>(1, w.rect.right - w.rect.left), height = std::max<LONG>(1, w.rect.bottom - w.rect.top);
    gtk_widget_set_size_request(n->area, width, height);
    gtk_window_move(GTK_WINDOW(n->window), w.rect.left, w.rect.top);
    bool show = (w.style & WS_VISIBLE) != 0;
    if (show && !n->shown) {
      gtk_widget_show_all(n->window);
      gtk_widget_grab_focus(n->area);
    } else if (!show && n->shown) {
      gtk_widget_hide(n->window);
    }
    n->shown = show;
    gtk_widget_queue_draw(n->area);
  }

  void Present(Window& w) override {
    if (Native* n = NativeOf(w)) gtk_widget_queue_draw(n->area);
  }

  void CursorChanged(HCURSOR cursor) override {
    GdkDisplay* display = gdk_display_get_default();
    GdkCursor* c = gdk_cursor_new_from_name(display, CursorName(cursor));
    for (HWND h : TheDesktop().topLevels) {
      Window* w = Find(h);
      Native* n = w ? NativeOf(*w) : nullptr;
      if (n && gtk_widget_get_window(n->area)) gdk_window_set_cursor(gtk_widget_get_window(n->area), c);
    }
    if (c) g_object_unref(c);
  }

  void Wait(int timeoutMs) override {
    if (timeoutMs == 0) {
      g_main_context_iteration(nullptr, FALSE);
      return;
    }
    bool fired = false;
    guint source = timeoutMs > 0 ? g_timeout_add(static_cast<guint>(timeoutMs), OnTimeout, &fired) : 0;
    g_main_context_iteration(nullptr, TRUE);
    if (source && !fired) g_source_remove(source);
  }

  void Wake() override { g_main_context_wakeup(nullptr); }
};

}  // namespace

std::unique_ptr<Backend> MakeGtkBackend() {
  // The locale is the host's to set: GTK would switch every category to the
  // environment's, numbers included, and the value parsers read "1.5".
  gtk_disable_setlocale();
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  return std::make_unique<GtkBackend>();
}

}  // namespace detail

namespace user {

bool UseGtkBackend() {
  using namespace detail;
  Desktop& d = TheDesktop();
  if (d.backend && d.backend->IsGtk()) return true;
  auto gtk = MakeGtkBackend();
  if (!gtk) return false;
  d.backend = std::move(gtk);
  for (HWND h : d.topLevels)
    if (Window* w = Find(h)) d.backend->TopLevelCreated(*w);
  return true;
}

bool UsingGtkBackend() {
  auto& d = detail::TheDesktop();
  return d.backend && d.backend->IsGtk();
}

void* InputMethodOf(HWND top) {
  if (!UsingGtkBackend()) return nullptr;
  detail::Window* w = detail::Find(top);
  return w && w->native ? detail::NativeOf(*w)->im : nullptr;
}

}  // namespace user
}  // namespace ktfolio::win
