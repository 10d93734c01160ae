// A long untagged document drawn as pieces, each a PDF context of its own
// (possibly in another process), and joined into one document afterwards.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi.h"

namespace ktfolio::win {

// Makes the documents of a PDF context pieces of a longer one, from its next
// StartDoc on: EndDoc leaves them as Cairo wrote them, without an outline or
// the catalog's metadata (the joined document gets both). False for a
// context that writes no PDF.
bool MarkPdfPiece(HDC hdc);

// The headings of a piece's document (AddPdfHeading), for the joined
// outline: each on its page of the piece (from 1), `y` points from the
// page's top. Read after EndDoc, until the context's next StartDoc.
struct PdfHeading {
  int level = 1;
  std::string title;
  int page = 1;
  double y = 0;
};
std::vector<PdfHeading> PdfHeadingsOf(HDC hdc);

// Joins pieces, in page order, into one document handed to `out` as it is
// made: the first piece as it is, then one incremental update holding the
// other pieces' objects renumbered after it, a page tree over the pieces'
// trees, the outline (the pieces' headings nested by level or, without any,
// one entry per page: "Page 3", as an unjoined document has) and the
// catalog with `metadata` as EndDoc adds it. Page contents, fonts and
// pictures are copied byte for byte; only dictionaries are rewritten. The
// same pieces give the same bytes. `out` may throw; the join then stops.
class PdfJoin {
 public:
  using Out = std::function<void(std::string_view)>;
  PdfJoin(const PdfMetadata& metadata, Out out);
  ~PdfJoin();
  PdfJoin(const PdfJoin&) = delete;
  PdfJoin& operator=(const PdfJoin&) = delete;

  // The next piece and its headings; false, with nothing of it written,
  // when it is not a document as a piece's context writes it.
  bool Add(std::string_view piece, const std::vector<PdfHeading>& headings = {});
  // Ends the document; false when no piece came.
  bool Finish();
  // Pages joined so far.
  int Pages() const;

 private:
  struct State;
  std::unique_ptr<State> s_;
};

}  // namespace ktfolio::win
