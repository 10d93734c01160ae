// PrintDoc: the print dialog when asked, then the job through the spooler
// with the page loop drawing into the printer context.
#include "model/units.h"
#include "platform/dialogs/dialogs.h"
#include "platform/user/user.h"
#include "printing/print_doc.h"
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

namespace printing {

void PrintDoc(Document& doc, std::int16_t StartPage, std::int16_t EndPage, bool& ShowDlg, std::int16_t& Copies) {
  try {
    PrintRequest r{doc.PrinterName(), doc.Orientation(), StartPage, EndPage, Copies};
    PrintJob job;
    ShowPointer(IDC_WAIT);
    if (ShowDlg) {
      if (!AskPrintDialog(job, r, doc.Pages())) {
        ShowPointer(IDC_ARROW);
        return;
      }
      Copies = static_cast<std::int16_t>(r.copies);
      doc.RefreshToolbarAfterPrintDialog();
    }
    ShowPointer(IDC_WAIT);
    const JobSettings settings{r.copies, doc.PageSize(), render::Nint(doc.PaperLength()),
                               render::Nint(doc.PaperWidth()), r.orientation, render::PrintedMetadata(doc)};
    if (job.StartPrint(r.printer, kPrintDocumentName, settings)) {
      const std::int16_t pages = doc.Pages();
      doc.ComputePageInfo();
      doc.PageCount(pages);
      render::PrinterPages printer;
      printer.startPage = [&printer, &job] {
        // The loop closes pages on its side; the job learns it here.
        job.PageOpen(printer.pageOpen);
        return job.StartPrintPage();
      };
      printer.endPage = [&job] { return job.EndPrintPage(); };
      const render::Device device = render::Device::ForPrint(job.PrinterDC(), job.PrinterDpiX(), job.PrinterDpiY());
      render::DrawPages(doc, device, r.from, r.to, render::Band{}, &printer);
    }
    job.EndPrint();
  } catch (const std::exception& e) {
    doc.RecordCaught(e);
  }
  ShowPointer(IDC_ARROW);
}

}  // namespace printing
}  // namespace ktfolio
