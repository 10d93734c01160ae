// The events a KtPrint4 raises to its host. A host derives from this class and
// overrides what it wants; by-reference parameters carry answers back.
#pragma once

#include <ktfolio/export.h>

#include <cstdint>
#include <string>

namespace ktfolio {

class KTFOLIO_API KtPrint4Events {
 public:
  virtual ~KtPrint4Events() = default;
  // Before each page and before the last body row of a page (FirstOrLast: First 0, Last 1).
  virtual void NewPage(std::int32_t& Page, std::int32_t& Row, std::int32_t& FirstOrLast) {}
  virtual void EnterCell(std::int32_t row, std::int32_t col, std::int32_t parea, bool& Cancel) {}
  virtual void LeaveCell(std::int32_t row, std::int32_t col, std::int32_t parea, bool& Cancel) {}
  virtual void ClickCell(std::int32_t row, std::int32_t col, std::int32_t parea, std::int16_t Button) {}
  virtual void BeforeButtonClick(std::int16_t ButtonIndex, const std::string& ButtonKey, bool& Cancel) {}
  // False when NewPage does nothing: a long PDF can then be drawn by several
  // processes at once (PdfJobs), which no handler could follow, and NewPage
  // is not raised for its pages.
  virtual bool HearsNewPage() const { return true; }
};

}  // namespace ktfolio
