// Editing a document as a designer does: every cell editable in place (design
// mode, which also shows the guide lines) and Enter moving on to the next
// cell. The document's own editing settings come back around whatever is
// written out and when the session ends, so a template saved from the session
// keeps the flags it had.
#pragma once

#include <cstdint>
#include <string>

#include "control/ktprint4_impl.h"

namespace ktfolio {

class DesignEditing {
 public:
  // Remembers the control's AllowCellEditing, ShowGuideLines and
  // EditEnterAction, then turns design editing on. The control must outlive
  // the session.
  explicit DesignEditing(KtPrint4Impl& control);
  // Puts the control's own settings back and leaves design mode.
  ~DesignEditing();
  DesignEditing(const DesignEditing&) = delete;
  DesignEditing& operator=(const DesignEditing&) = delete;

  // The document's template text with its own settings, not the session's.
  void Template(ByteArray& dsn);
  // Writes the template file with the document's own settings; false with the
  // failure recorded on the control (SaveAsTemplate's rules).
  [[nodiscard]] bool SaveAsTemplate(const std::string& file);

 private:
  void Enter();
  void Leave();

  KtPrint4Impl& control_;
  bool allowEditing_, guideLines_;
  std::int32_t enterAction_;
};

}  // namespace ktfolio
