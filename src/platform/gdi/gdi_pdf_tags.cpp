// Structure tags on a PDF printer context, handed to Cairo, which writes the
// structure tree and marks the content drawn inside each leaf tag. Cairo
// refuses the whole document after one badly nested tag, so the context keeps
// its own stack and only ever closes what it opened, innermost first.
#include <cairo.h>

#include <algorithm>

#include "platform/gdi/gdi_impl.h"
#include "platform/gdi/pdf_content.h"
#include "platform/gdi/pdf_tags.h"

namespace ktfolio::win {
namespace gdi {
namespace {

constexpr const char* kDocumentTag = "Document";
// What Cairo writes for each tag (Pagination: see kPaginationStandIn).
const char* TagName(PdfTag tag) {
  switch (tag) {
    case PdfTag::Table: return "Table";
    case PdfTag::Row: return "TR";
    case PdfTag::Cell: return "TD";
    case PdfTag::HeaderCell: return "TH";
    case PdfTag::Paragraph: return "P";
    case PdfTag::H1: return "H1";
    case PdfTag::H2: return "H2";
    case PdfTag::H3: return "H3";
    case PdfTag::H4: return "H4";
    case PdfTag::H5: return "H5";
    case PdfTag::H6: return "H6";
    case PdfTag::Figure: return "Figure";
    case PdfTag::Pagination: return kPaginationStandIn.data();
  }
  return "P";
}

// Text and lines wait in queues on a printer page (gdi_impl.h); what was drawn
// before a tag changes must reach the page first, or it lands in the wrong
// tag. Queued lines are layout and may wait, except where the tag holds
// drawing of its own kind: a picture, or a running header's rules.
void Settle(DC* dc, PdfTag tag) {
  if (tag == PdfTag::Figure || tag == PdfTag::Pagination) dc->FlushQueues();
  else dc->FlushText();
}

// Between pages the context draws on a scratch surface, so a tag closed then
// goes to the document through a context of its own.
template <class F>
void OnDocument(DC* dc, PrintJob* job, F&& f) {
  if (job->inPage) {
    f(dc->cr);
    return;
  }
  cairo_t* cr = cairo_create(job->pdf);
  f(cr);
  cairo_destroy(cr);
}

// Closes the open tags from index `at` of the stack up, innermost first.
void CloseTagsFrom(DC* dc, PrintJob* job, std::size_t at) {
  OnDocument(dc, job, [&](cairo_t* cr) {
    while (job->openTags.size() > at) {
      cairo_tag_end(cr, job->openTags.back());
      job->openTags.pop_back();
    }
  });
}

PrintJob* TaggingJob(DC* dc) {
  PrintJob* job = dc ? dc->print.get() : nullptr;
  return job && job->pdf && job->document.tagged ? job : nullptr;
}

}  // namespace

std::string AsDrawnUtf8(const std::string& text) {
  std::string valid;
  for (std::uint32_t cp : DecodeUtf8(text.data(), static_cast<int>(text.size())))
    AppendUtf8(valid, ShowsNothing(cp) ? ' ' : cp);
  return valid;
}

void CloseAllPdfTags(DC* dc, PrintJob* job) {
  if (!job->openTags.empty() && job->pdf) CloseTagsFrom(dc, job, 0);
}

}  // namespace gdi

using namespace gdi;

PdfTag HeadingTag(int level) {
  constexpr PdfTag kLevels[] = {PdfTag::H1, PdfTag::H2, PdfTag::H3, PdfTag::H4, PdfTag::H5, PdfTag::H6};
  return kLevels[std::clamp(level, 1, 6) - 1];
}

bool BeginPdfTag(HDC hdc, PdfTag tag, const std::string& alt) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  PrintJob* job = TaggingJob(dc);
  if (!job || !job->inPage) return false;
  Settle(dc, tag);
  if (job->openTags.empty()) {
    cairo_tag_begin(dc->cr, kDocumentTag, "");
    job->openTags.push_back(kDocumentTag);
  }
  const char* name = TagName(tag);
  cairo_tag_begin(dc->cr, name, "");
  job->openTags.push_back(name);
  if (tag == PdfTag::Figure) job->figureAlts.push_back(AsDrawnUtf8(alt));
  return true;
}

void EndPdfTag(HDC hdc, PdfTag tag) {
  GDI_LOCK;
  DC* dc = ToDC(hdc);
  PrintJob* job = TaggingJob(dc);
  if (!job) return;
  const char* name = TagName(tag);
  std::size_t at = job->openTags.size();
  while (at > 1 && job->openTags[at - 1] != name) --at;  // the root is never closed here
  if (at <= 1) return;
  if (job->inPage) Settle(dc, tag);
  CloseTagsFrom(dc, job, at - 1);
}

}  // namespace ktfolio::win
