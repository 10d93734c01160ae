// KtPrint4: the document with its exports, printing and the on-screen
// control's reactions to its settings.
#include "control/ktprint4_impl.h"

#include "printing/print_doc.h"
#include "render/render_internal.h"

namespace ktfolio {

KtPrint4Impl::KtPrint4Impl(Container* container) : ViewedDocument(container) {}

KtPrint4Impl::~KtPrint4Impl() {
  // Windows first: their last messages may still read the document.
  preview_.reset();
}

void KtPrint4Impl::ToolbarVisibilityChanged() {
  // A windowed control lays its toolbar and viewport out again.
  if (hWnd()) ContainerResize();
}

void KtPrint4Impl::MultiLineEditingChanged(bool multiLine) { CellEditorMultiLine(multiLine); }

void KtPrint4Impl::PrintingCaption(const std::string& caption) {
  if (Shown()) ToolbarCaption(caption);
}

void KtPrint4Impl::RefreshToolbarAfterPrintDialog() {
  if (Shown()) RefreshStatus();
}

void KtPrint4Impl::PrintDoc(std::int16_t StartPage, std::int16_t EndPage, bool& ShowDlg, std::int16_t& Copies) {
  printing::PrintDoc(*this, StartPage, EndPage, ShowDlg, Copies);
}

bool KtPrint4Impl::ExportPng(const std::string& file, std::int16_t page, std::int16_t zoom, bool shadow) {
  try {
    render::ExportPng(*this, file, page, zoom, shadow);
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

bool KtPrint4Impl::ExportPngDpi(const std::string& file, std::int16_t page, std::int32_t dpi, bool shadow) {
  try {
    render::ExportPngDpi(*this, file, page, dpi, shadow);
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

bool KtPrint4Impl::ExportPdf(const std::string& file, std::int16_t fromPage, std::int16_t toPage) {
  try {
    render::ExportPdf(*this, file, fromPage, toPage);
    return true;
  } catch (const std::exception& e) {
    RecordCaught(e);
    return false;
  }
}

}  // namespace ktfolio
