// KtPrint4::PrintDoc: the print dialog when asked, then the job through the
// spooler with the page loop drawing into the printer context.
#include "model/units.h"
#include "platform/dialogs/dialogs.h"
#include "platform/user/user.h"
#include "printing/print_job.h"
#include "render/render_impl.h"
#include "render/render_internal.h"

namespace ktfolio {

using namespace win;

namespace {

// Page numbers, no selection, copies through the device settings, no print to file.
constexpr DWORD kPrintDialogFlags = PD_PAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIES | PD_HIDEPRINTTOFILE;
static_assert(kPrintDialogFlags == 0x140006);

void ShowPointer(LPCSTR cursor) { SetCursor(LoadCursor(nullptr, cursor)); }

struct PrintRequest {
  std::string printer;
  std::int32_t orientation = 0;
  std::int32_t from = 0, to = 0, copies = 1;
};

// False when the user cancelled.
bool AskPrintDialog(printing::PrintJob& job, PrintRequest& r, std::int32_t pages) {
  if (!job.OpenPrinterDC(r.printer)) job.CleanUpPrint();
  dialogs::PrinterDialog dlg;
  dlg.hdc = job.PrinterDC();
  dlg.PrinterName = r.printer;
  dlg.Orientation = r.orientation + 1;
  dlg.Min = 1;
  dlg.Max = pages;
  dlg.ToPage = r.to;
  dlg.FromPage = r.from;
  dlg.Copies = r.copies;
  dlg.flags = kPrintDialogFlags;
  dlg.ShowPrinter();
  // A cancelled dialog leaves the printer it opened to the job, which closes it.
  if (dlg.APIReturn != 1) return false;
  r.printer = dlg.PrinterName;
  r.copies = dlg.Copies;
  r.from = dlg.FromPage;
  r.to = dlg.ToPage;
  r.orientation = dlg.Orientation - 1;
  return true;
}

}  // namespace

void KtPrint4::PrintingCaption(const std::string& caption) {
  if (Shown()) ToolbarCaption(caption);
}

void KtPrint4::RefreshToolbarAfterPrintDialog() {
  if (Shown()) RefreshStatus();
}

void KtPrint4::PrintDoc(std::int16_t StartPage, std::int16_t EndPage, bool& ShowDlg, std::int16_t& Copies) {
  try {
    PrintRequest r{PrinterName(), Orientation(), StartPage, EndPage, Copies};
    printing::PrintJob job;
    ShowPointer(IDC_WAIT);
    if (ShowDlg) {
      if (!AskPrintDialog(job, r, Pages())) {
        ShowPointer(IDC_ARROW);
        return;
      }
      Copies = static_cast<std::int16_t>(r.copies);
      RefreshToolbarAfterPrintDialog();
    }
    ShowPointer(IDC_WAIT);
    const printing::JobSettings settings{r.copies, PageSize(), render::Nint(PaperLength()), render::Nint(PaperWidth()),
                                         r.orientation};
    if (job.StartPrint(r.printer, printing::kPrintDocumentName, settings)) {
      const std::int16_t pages = Pages();
      ComputePageInfo();
      PageCount(pages);
      render::PrinterPages printer;
      printer.startPage = [&printer, &job] {
        // The loop closes pages on its side; the job learns it here.
        job.PageOpen(printer.pageOpen);
        return job.StartPrintPage();
      };
      printer.endPage = [&job] { return job.EndPrintPage(); };
      const render::Device device = render::Device::ForPrint(job.PrinterDC(), job.PrinterDpiX(), job.PrinterDpiY());
      render::DrawPages(*this, device, r.from, r.to, render::Band{}, &printer);
    }
    job.EndPrint();
  } catch (const std::exception& e) {
    RecordCaught(e);
  }
  ShowPointer(IDC_ARROW);
}

}  // namespace ktfolio
