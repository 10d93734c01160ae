// DesignEditing: the control's editing settings switched for a design session
// and put back for every template written out of it.
#include "pages/design_editing.h"

#include "model/enums.h"

namespace ktfolio {

DesignEditing::DesignEditing(KtPrint4Impl& control)
    : control_(control),
      allowEditing_(control.AllowCellEditing()),
      guideLines_(control.ShowGuideLines()),
      enterAction_(control.EditEnterAction()) {
  Enter();
}

DesignEditing::~DesignEditing() { Leave(); }

void DesignEditing::Enter() {
  control_.AllowCellEditing(true);
  control_.DesigMode(true);
  control_.EditEnterAction(ppEnterNext);
}

void DesignEditing::Leave() {
  control_.DesigMode(false);
  control_.AllowCellEditing(allowEditing_);
  control_.ShowGuideLines(guideLines_);
  control_.EditEnterAction(enterAction_);
}

void DesignEditing::Template(ByteArray& dsn) {
  Leave();
  control_.GetDsnArray(dsn);
  Enter();
}

bool DesignEditing::SaveAsTemplate(const std::string& file) {
  Leave();
  const bool ok = control_.SaveAsTemplate(file);
  Enter();
  return ok;
}

}  // namespace ktfolio
