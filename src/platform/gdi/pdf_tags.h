// The logical structure of a tagged PDF, told by the code that draws it: what
// a screen reader reads, in order, and what it skips. Tags open and close
// around the drawing they describe; everything drawn outside a content tag
// becomes an artifact (layout) when the document is finished, and what is
// drawn inside Pagination becomes a pagination artifact (running headers and
// footers). Only a tag that holds no other tag gets the content drawn in it
// (Cairo marks leaves only): draw text inside the innermost tags. On any
// context that writes no PDF these calls do nothing.
#pragma once

#include <string>

#include "platform/gdi/gdi.h"

namespace ktfolio::win {

enum class PdfTag {
  Table,       // groups rows; may stay open over many pages
  Row,         // TR
  Cell,        // TD
  HeaderCell,  // TH
  Paragraph,   // P
  H1, H2, H3, H4, H5, H6,
  Figure,      // a picture; its alternative text is given when it opens
  Pagination,  // drawing repeated on each page, left out of the structure
};

// H1 to H6 for a level of 1 to 6 (clamped).
PdfTag HeadingTag(int level);

// Opens `tag` inside the innermost open one (the document's root first).
// `alt` is a Figure's alternative text. False on a context that writes no PDF
// or outside a page.
bool BeginPdfTag(HDC hdc, PdfTag tag, const std::string& alt = {});
// Closes the innermost open `tag` and whatever is still open inside it; a tag
// that is not open is ignored, so a drawing that failed half-way cannot leave
// the structure out of step.
void EndPdfTag(HDC hdc, PdfTag tag);

// Opens a tag for the lifetime of the object.
class ScopedPdfTag {
 public:
  ScopedPdfTag(HDC hdc, PdfTag tag, const std::string& alt = {}) : dc_(hdc), tag_(tag) {
    open_ = BeginPdfTag(hdc, tag, alt);
  }
  ~ScopedPdfTag() {
    if (open_) EndPdfTag(dc_, tag_);
  }
  ScopedPdfTag(const ScopedPdfTag&) = delete;
  ScopedPdfTag& operator=(const ScopedPdfTag&) = delete;

 private:
  HDC dc_;
  PdfTag tag_;
  bool open_ = false;
};

}  // namespace ktfolio::win
