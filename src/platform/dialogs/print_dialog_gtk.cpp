// The printer dialog on a desktop: GTK's print dialog, shown only to hosts
// that chose GTK windows, so headless hosts and tests never block on it.
#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#include <algorithm>
#include <memory>

#include "platform/dialogs/dialogs_impl.h"

namespace ktfolio::win::dialogs {

namespace {

struct Unref {
  void operator()(gpointer p) const { g_object_unref(p); }
};
template <typename T>
using GPtr = std::unique_ptr<T, Unref>;

GPtr<GtkPrintSettings> SettingsFrom(const PRINTDLG& pd) {
  GPtr<GtkPrintSettings> s(gtk_print_settings_new());
  if (pd.hDevMode) {
    gtk_print_settings_set_printer(s.get(), pd.hDevMode->dmDeviceName);
    gtk_print_settings_set_orientation(s.get(), pd.hDevMode->dmOrientation == DMORIENT_LANDSCAPE
                                                    ? GTK_PAGE_ORIENTATION_LANDSCAPE
                                                    : GTK_PAGE_ORIENTATION_PORTRAIT);
  }
  gtk_print_settings_set_n_copies(s.get(), std::max<int>(1, pd.nCopies));
  // GTK counts pages from 0.
  GtkPageRange range{std::max(0, pd.nFromPage - 1), std::max(0, pd.nToPage - 1)};
  gtk_print_settings_set_page_ranges(s.get(), &range, 1);
  gtk_print_settings_set_print_pages(s.get(), GTK_PRINT_PAGES_RANGES);
  return s;
}

// "Print to File" is our PDF printer writing where the user said.
std::string PrinterChosen(GtkPrinter* printer, GtkPrintSettings* settings) {
  if (!gtk_printer_is_virtual(printer)) return gtk_printer_get_name(printer);
  if (const char* uri = gtk_print_settings_get(settings, GTK_PRINT_SETTINGS_OUTPUT_URI)) {
    if (gchar* file = g_filename_from_uri(uri, nullptr, nullptr)) {
      spooler::SetPdfPrinterOutput(file);
      g_free(file);
    }
  }
  return spooler::kPdfPrinterName;
}

void ReadBack(PRINTDLG& pd, GtkPrinter* printer, GtkPrintSettings* settings) {
  if (printer) ChoosePrinter(pd, PrinterChosen(printer, settings));
  const int copies = gtk_print_settings_get_n_copies(settings);
  pd.nCopies = static_cast<WORD>(copies);
  if (pd.hDevMode) {
    pd.hDevMode->dmCopies = static_cast<SHORT>(copies);
    pd.hDevMode->dmOrientation = gtk_print_settings_get_orientation(settings) == GTK_PAGE_ORIENTATION_LANDSCAPE
                                     ? DMORIENT_LANDSCAPE
                                     : DMORIENT_PORTRAIT;
  }
  if (gtk_print_settings_get_print_pages(settings) != GTK_PRINT_PAGES_RANGES) {
    pd.nFromPage = pd.nMinPage;
    pd.nToPage = pd.nMaxPage;
    return;
  }
  gint n = 0;
  GtkPageRange* ranges = gtk_print_settings_get_page_ranges(settings, &n);
  if (n > 0) {
    pd.nFromPage = static_cast<WORD>(ranges[0].start + 1);
    pd.nToPage = static_cast<WORD>(ranges[n - 1].end + 1);
  }
  g_free(ranges);
}

}  // namespace

int RunGtkPrintDialog(PRINTDLG& pd) {
  if (!user::UsingGtkBackend()) return -1;
  GtkWidget* dialog = gtk_print_unix_dialog_new("Print", nullptr);
  auto* printDialog = GTK_PRINT_UNIX_DIALOG(dialog);
  GPtr<GtkPrintSettings> settings = SettingsFrom(pd);
  gtk_print_unix_dialog_set_settings(printDialog, settings.get());
  gtk_print_unix_dialog_set_manual_capabilities(
      printDialog, static_cast<GtkPrintCapabilities>(GTK_PRINT_CAPABILITY_PAGE_SET | GTK_PRINT_CAPABILITY_COPIES |
                                              GTK_PRINT_CAPABILITY_GENERATE_PDF));
  gtk_print_unix_dialog_set_support_selection(printDialog, FALSE);
  const int response = gtk_dialog_run(GTK_DIALOG(dialog));
  const bool ok = response == GTK_RESPONSE_OK;
  if (ok) {
    GPtr<GtkPrintSettings> chosen(gtk_print_unix_dialog_get_settings(printDialog));
    ReadBack(pd, gtk_print_unix_dialog_get_selected_printer(printDialog), chosen.get());
  }
  gtk_widget_destroy(dialog);
  while (gtk_events_pending()) gtk_main_iteration();
  return ok ? 1 : 0;
}

}  // namespace ktfolio::win::dialogs
