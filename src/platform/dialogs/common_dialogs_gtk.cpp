// The colour, font and file dialogs and the help message on a desktop: GTK's
// own dialogs, shown only to hosts that chose GTK windows, so headless hosts
// and tests never block on them.
#include <gtk/gtk.h>

#include <cmath>
#include <cstring>
#include <string>

#include "platform/dialogs/dialogs_impl.h"

namespace ktfolio::win::dialogs {
namespace {

int Run(GtkWidget* dialog) {
  const int response = gtk_dialog_run(GTK_DIALOG(dialog));
  return response == GTK_RESPONSE_OK || response == GTK_RESPONSE_ACCEPT ? 1 : 0;
}

void Close(GtkWidget* dialog) {
  gtk_widget_destroy(dialog);
  while (gtk_events_pending()) gtk_main_iteration();
}

GdkRGBA ToRgba(COLORREF c) {
  return GdkRGBA{GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0, 1.0};
}

BYTE Channel(double v) { return static_cast<BYTE>(std::lround(v * 255)); }

// "Liberation Sans Bold Italic 12" from the record, and back.
PangoFontDescription* Describe(const CHOOSEFONT& cf) {
  PangoFontDescription* d = pango_font_description_new();
  const LOGFONT& lf = *cf.lpLogFont;
  pango_font_description_set_family(d, lf.lfFaceName[0] ? lf.lfFaceName : "Arial");
  pango_font_description_set_size(d, std::max(1, cf.iPointSize) * PANGO_SCALE / 10);
  pango_font_description_set_weight(d, lf.lfWeight >= 700 ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(d, lf.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  return d;
}

void ReadBack(CHOOSEFONT& cf, const PangoFontDescription* d) {
  LOGFONT& lf = *cf.lpLogFont;
  if (const char* family = pango_font_description_get_family(d)) {
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    std::strncpy(lf.lfFaceName, family, sizeof lf.lfFaceName - 1);
  }
  const double points = static_cast<double>(pango_font_description_get_size(d)) / PANGO_SCALE;
  cf.iPointSize = static_cast<INT>(std::lround(points * 10));
  lf.lfHeight = -static_cast<LONG>(std::lround(points * 4 / 3));
  lf.lfWeight = pango_font_description_get_weight(d) >= PANGO_WEIGHT_BOLD ? 700 : 400;
  lf.lfItalic = pango_font_description_get_style(d) != PANGO_STYLE_NORMAL;
}

// Each description/pattern pair of the NUL-separated list becomes a filter.
void AddFilters(GtkFileChooser* chooser, const char* list, DWORD index) {
  if (!list) return;
  DWORD n = 0;
  for (const char* p = list; *p;) {
    const char* name = p;
    p += std::strlen(p) + 1;
    if (!*p) break;
    const std::string patterns = p;
    p += patterns.size() + 1;
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, name);
    for (size_t at = 0; at <= patterns.size();) {
      const size_t semi = std::min(patterns.find(';', at), patterns.size());
      gtk_file_filter_add_pattern(filter, patterns.substr(at, semi - at).c_str());
      at = semi + 1;
    }
    gtk_file_chooser_add_filter(chooser, filter);
    if (++n == index) gtk_file_chooser_set_filter(chooser, filter);
  }
}

}  // namespace

int RunGtkColorDialog(CHOOSECOLOR& cc) {
  if (!user::UsingGtkBackend()) return -1;
  GtkWidget* dialog = gtk_color_chooser_dialog_new("Color", nullptr);
  const GdkRGBA initial = ToRgba(cc.rgbResult);
  gtk_color_chooser_set_use_alpha(GTK_COLOR_CHOOSER(dialog), FALSE);
  gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(dialog), &initial);
  const int ok = Run(dialog);
  if (ok) {
    GdkRGBA chosen;
    gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(dialog), &chosen);
    cc.rgbResult = RGB(Channel(chosen.red), Channel(chosen.green), Channel(chosen.blue));
  }
  Close(dialog);
  return ok;
}

int RunGtkFontDialog(CHOOSEFONT& cf) {
  if (!user::UsingGtkBackend()) return -1;
  GtkWidget* dialog = gtk_font_chooser_dialog_new("Font", nullptr);
  PangoFontDescription* initial = Describe(cf);
  gtk_font_chooser_set_font_desc(GTK_FONT_CHOOSER(dialog), initial);
  pango_font_description_free(initial);
  const int ok = Run(dialog);
  if (ok) {
    if (PangoFontDescription* chosen = gtk_font_chooser_get_font_desc(GTK_FONT_CHOOSER(dialog))) {
      ReadBack(cf, chosen);
      pango_font_description_free(chosen);
    }
  }
  Close(dialog);
  return ok;
}

int RunGtkFileDialog(OPENFILENAME& ofn, bool save) {
  if (!user::UsingGtkBackend()) return -1;
  const char* title = ofn.lpstrTitle && *ofn.lpstrTitle ? ofn.lpstrTitle : (save ? "Save As" : "Open");
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      title, nullptr, save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
      GTK_RESPONSE_CANCEL, save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
  auto* chooser = GTK_FILE_CHOOSER(dialog);
  AddFilters(chooser, ofn.lpstrFilter, ofn.nFilterIndex);
  if (ofn.lpstrInitialDir && *ofn.lpstrInitialDir) gtk_file_chooser_set_current_folder(chooser, ofn.lpstrInitialDir);
  if (save && ofn.lpstrFile && *ofn.lpstrFile) gtk_file_chooser_set_current_name(chooser, ofn.lpstrFile);
  gtk_file_chooser_set_do_overwrite_confirmation(chooser, (ofn.Flags & OFN_OVERWRITEPROMPT) != 0);
  int ok = Run(dialog);
  if (ok) {
    gchar* file = gtk_file_chooser_get_filename(chooser);
    const std::string path = file ? file : "";
    g_free(file);
    if (path.size() + 1 > ofn.nMaxFile) {
      ok = 0;  // the buffer cannot take it
    } else if (ofn.lpstrFile) {
      std::strcpy(ofn.lpstrFile, path.c_str());
      if (ofn.lpstrFileTitle && ofn.nMaxFileTitle > 0) {
        const std::string title = path.substr(path.find_last_of('/') + 1);
        std::strncpy(ofn.lpstrFileTitle, title.c_str(), ofn.nMaxFileTitle - 1);
        ofn.lpstrFileTitle[ofn.nMaxFileTitle - 1] = 0;
      }
    }
  }
  Close(dialog);
  return ok;
}

int RunGtkHelp(HWND, const std::string& text) {
  if (!user::UsingGtkBackend()) return -1;
  GtkWidget* dialog =
      gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_INFO, GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), "Help");
  gtk_dialog_run(GTK_DIALOG(dialog));
  Close(dialog);
  return 1;
}

}  // namespace ktfolio::win::dialogs
