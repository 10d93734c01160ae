// The in-cell editor: a formatted text box laid over a cell of the preview
// when the user double-clicks it. Every change goes straight into the cell's
// text; Enter or Ctrl with an arrow moves on to the next or previous editable
// cell; Esc, a click elsewhere or the focus leaving ends the editing. The host
// hears EnterCell and LeaveCell and may refuse either.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "control/ktprint4.h"
#include "controls/kttext.h"
#include "platform/container/container.h"

namespace ktfolio {

class KtTextItem;

class CellEditor {
 public:
  // Builds the editor inside the control's window (which must exist) and
  // hands it to the control, which then owns it.
  static void Attach(KtPrint4& control);

  explicit CellEditor(KtPrint4& control);
  ~CellEditor();
  CellEditor(const CellEditor&) = delete;
  CellEditor& operator=(const CellEditor&) = delete;

  KtText& Box() { return *txtCellItem_; }
  // True while the editor is shown over a cell (not parked out of sight).
  bool Active() const { return active_; }
  std::int32_t PendingMove() const { return pendingMove_; }
  // "%R=4 %C=2 %A=0": the edited cell's address as the editor carries it.
  static std::string AddressTag(std::int32_t row, std::int32_t col, std::int32_t area);
  // Reads the three numbers back from a tag; false when one is missing.
  static bool ParseAddressTag(const std::string& tag, std::int32_t& row, std::int32_t& col, std::int32_t& area);

 private:
  void OnDoubleClick(std::int32_t x, std::int32_t y, std::int32_t offsetX, std::int32_t offsetY);
  void OnClick(bool hit, std::int32_t area, std::int32_t row, std::int32_t col);
  void OnMoveMessage();
  void OnChange();
  void OnKeyPress(std::int16_t& key);
  void OnKeyDown(std::int16_t& code, std::int16_t shift);
  bool OnValidate();
  // Opens the editor on a cell found by the hit test or by address.
  void Open(KtTextItem* cell, std::int32_t area, std::int32_t row, std::int32_t col, win::RECT twips);
  // The cell at the edited address is still `cell_`: a host may have moved
  // rows since (an event handler, a timer), and a text must not land in
  // whatever cell took the address.
  bool StillAtAddress(std::int32_t area, std::int32_t row, std::int32_t col) const;
  // Keeps the editor's box on the cell and starts its edit on the cell's drawn text.
  void PlaceOverText(KtText& box, const KtTextItem& cell, std::int32_t area, std::int32_t row, std::int32_t col,
                     win::POINT page);
  void Show();
  void Hide();
  void RequestMove(std::int32_t move);
  // The next (1) or previous (2) editable cell from the edited one, through
  // the area cycle body, footer, header.
  bool FindEditable(std::int32_t move, std::int32_t& area, std::int32_t& row, std::int32_t& col);

  KtPrint4& control_;
  Container site_;  // the editor's own container: its changes are not the host form's
  std::unique_ptr<KtText> txtCellItem_;
  KtTextItem* cell_ = nullptr;
  std::int32_t row_ = 0, col_ = 0, area_ = 0;
  win::RECT rect_{0, 0, 0, 0};  // in the control window's pixels
  std::int32_t offsetX_ = 0, offsetY_ = 0;
  std::int32_t pendingMove_ = 0;
  bool active_ = false;
};

}  // namespace ktfolio
