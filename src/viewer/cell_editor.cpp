// The in-cell editor: opening on a double-clicked cell or on an address,
// committing every change into the cell, the keys that close it or move it,
// the host's veto on entering and leaving, and the search for the next
// editable cell through the areas.
#include "viewer/cell_editor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/units.h"
#include "platform/container/form.h"
#include "render/render_internal.h"

namespace ktfolio {

using namespace win;

namespace {

constexpr int kParked = -10000;  // pixels: where a hidden editor waits
constexpr std::int32_t kMoveNext = 1;
constexpr std::int32_t kMovePrevious = 2;
constexpr const char* kEditingSource = "Editing Cell";

// The area after `area` in the editing cycle, in both directions.
std::int32_t NextArea(std::int32_t area) { return area == Body ? Footer : area == Footer ? Header : Body; }

bool Editable(const KtTextItem* cell) { return cell && cell->EditType() > 0; }

// The edit window counts characters: the UTF-8 bytes that start one.
std::int32_t CharacterCount(const std::string& text) {
  return static_cast<std::int32_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

void CellEditor::Attach(ViewedDocument& control) {
  if (!control.hWnd()) return;
  auto editor = std::make_shared<CellEditor>(control);
  ViewedDocument::CellEditorHooks hooks;
  CellEditor* e = editor.get();
  hooks.doubleClick = [e](std::int32_t x, std::int32_t y, std::int32_t ox, std::int32_t oy) {
    e->OnDoubleClick(x, y, ox, oy);
  };
  hooks.click = [e](bool hit, std::int32_t area, std::int32_t row, std::int32_t col) { e->OnClick(hit, area, row, col); };
  hooks.moveMessage = [e] { e->OnMoveMessage(); };
  hooks.multiLine = [e](bool v) {
    // One line: Enter is the box's own (AutoReturn); several: Enter breaks the line.
    e->Box().MultiLine(v);
    e->Box().AutoReturn(!v);
  };
  hooks.keepAlive = editor;
  control.AttachCellEditor(std::move(hooks));
}

CellEditor::CellEditor(ViewedDocument& control) : control_(control) {
  site_.AmbientFont(control.Site().AmbientFont());
  site_.AmbientForeColor(control.Site().AmbientForeColor());
  site_.AmbientBackColor(control.Site().AmbientBackColor());
  txtCellItem_ = std::make_unique<KtText>(control.hWnd(), "txtCellItem", site_);
  KtText& box = *txtCellItem_;
  SetMemberName(box.ControlWindow(), "txtCellItem");
  box.Caption("");
  box.Move(kParked, kParked, 100, 20);
  box.Change = [this] { OnChange(); };
  box.KeyPress = [this](std::int16_t& key, std::int16_t) { OnKeyPress(key); };
  box.KeyDown = [this](std::int16_t& code, std::int16_t shift) { OnKeyDown(code, shift); };
  box.Validate = [this] { return OnValidate(); };
  box.LostFocus = [this] {
    Hide();
    control_.Refresh();
  };
}

CellEditor::~CellEditor() = default;

std::string CellEditor::AddressTag(std::int32_t row, std::int32_t col, std::int32_t area) {
  return "%R=" + std::to_string(row) + " %C=" + std::to_string(col) + " %A=" + std::to_string(area);
}

bool CellEditor::ParseAddressTag(const std::string& tag, std::int32_t& row, std::int32_t& col, std::int32_t& area) {
  std::int32_t* fields[] = {&row, &col, &area};
  const char* markers[] = {"%R=", "%C=", "%A="};
  for (int i = 0; i < 3; ++i) {
    const size_t at = tag.find(markers[i]);
    if (at == std::string::npos) return false;
    *fields[i] = static_cast<std::int32_t>(std::strtol(tag.c_str() + at + 3, nullptr, 10));
  }
  return true;
}

// ---- opening ---------------------------------------------------------------------------------

void CellEditor::OnDoubleClick(std::int32_t x, std::int32_t y, std::int32_t offsetX, std::int32_t offsetY) {
  if (!control_.AllowCellEditing()) return;
  offsetX_ = offsetX;
  offsetY_ = offsetY;
  const double scale = 100.0 / control_.Zoom();
  const float tx = static_cast<float>((x + offsetX) * scale * TwipsPerPixelX());
  const float ty = static_cast<float>((y + offsetY) * scale * TwipsPerPixelY());
  render::CellHit hit;
  const bool found = render::HitTestCell(control_, control_.PreviewPage(), tx, ty, hit);
  cell_ = found ? control_.Rows(hit.area)->Item(hit.row)->ItemText().Item(hit.col) : nullptr;
  if (!cell_) {
    control_.RecordError(ErrorCode::kDoubleClickOutsidePrintableArea, kEditingSource, "Doble Click outside printable area");
    return;
  }
  Open(cell_, hit.area, hit.row, hit.col, hit.rect);
}

void CellEditor::Open(KtTextItem* cell, std::int32_t area, std::int32_t row, std::int32_t col, RECT twips) {
  cell_ = cell;
  if (cell->EditType() < 1 && !control_.DesigMode()) {
    control_.RecordError(ErrorCode::kDoubleClickOnUneditableCell, kEditingSource, "Doble click on no editable cell");
    return;
  }
  if (control_.RaiseEnterCell(row, col, area)) return;
  // The handler may have changed the document: the editor opens only on the
  // same cell, still on the page shown, where it lies now.
  render::CellHit now;
  if (!StillAtAddress(area, row, col) ||
      !render::CellAtAddress(control_, control_.PreviewPage(), area, row, col, now))
    return;
  twips = now.rect;
  row_ = row, col_ = col, area_ = area;

  // Page twips to preview pixels at the zoom, less the scrolled-off part, then
  // into the control's window, where the viewport sits below the toolbar.
  const double zoom = control_.Zoom() / 100.0;
  POINT origin{0, 0};
  if (HWND vp = control_.ViewportWindow()) {
    ClientToScreen(vp, &origin);
    ScreenToClient(control_.hWnd(), &origin);
  }
  auto px = [zoom](double t, float perPixel, std::int32_t offset, std::int32_t base) {
    return static_cast<std::int32_t>(std::lround(t / perPixel * zoom)) - offset + base;
  };
  rect_ = RECT{px(twips.left, TwipsPerPixelX(), offsetX_, origin.x), px(twips.top, TwipsPerPixelY(), offsetY_, origin.y),
               px(twips.right, TwipsPerPixelX(), offsetX_, origin.x),
               px(twips.bottom, TwipsPerPixelY(), offsetY_, origin.y)};

  KtText& box = *txtCellItem_;
  PlaceOverText(box, *cell, area, row, col, POINT{origin.x - offsetX_, origin.y - offsetY_});
  box.Text(cell->Text());
  box.Tag = AddressTag(row, col, area);
  auto font = std::make_shared<StdFont>();
  font->Name = cell->FontName();
  font->Italic = cell->FontItalic();
  font->Underline = cell->FontUnderline();
  font->Bold = cell->FontBold();
  font->Size = static_cast<float>(cell->FontSize() * zoom);
  box.Font(font);  // no strike-through: the editor shows the text plainly
  if (control_.AutoHighLightEditing())
    box.SelectAll();
  else
    box.SelStart(CharacterCount(box.Text()));
  Show();
}

// The editor's text lands where the cell draws its own: the box covers the
// cell exactly, and its edit starts at the top of the cell's lines, inset to
// the cell's text area and aligned as the cell is. `page` is where the page's
// top-left corner lies in the control's window.
void CellEditor::PlaceOverText(KtText& box, const KtTextItem& cell, std::int32_t area, std::int32_t row,
                               std::int32_t col, POINT page) {
  // KtText's alignments: 0 left, 1 right, 2 centre; justified cells draw left.
  const std::int32_t at = cell.AlignPos();
  box.Alignment(at == 1 || at == 5 || at == 9 ? 2 : at == 2 || at == 6 || at == 10 ? 1 : 0);
  const std::optional<RECT> placed =
      render::CellTextRect(control_, control_.PreviewPage(), render::CellAddress{area, row, col}, control_.Zoom());
  if (!placed) {
    box.SetMargins(0, 0);
    box.SetTopMargin(0);
    return;
  }
  const RECT text = *placed;
  const LONG top = text.top + page.y;
  box.SetTopMargin(top > rect_.top && top < rect_.bottom ? top - rect_.top : 0);
  box.SetMargins(std::max<LONG>(0, text.left + page.x - rect_.left),
                 std::max<LONG>(0, rect_.right - (text.right + page.x)));
}

bool CellEditor::StillAtAddress(std::int32_t area, std::int32_t row, std::int32_t col) const {
  KtRows* rows = control_.Rows(area);
  if (!rows || row < 1 || row > rows->count()) return false;
  return cell_ && rows->at0(static_cast<size_t>(row - 1)).ItemText().Item(col) == cell_;
}

void CellEditor::Show() {
  KtText& box = *txtCellItem_;
  active_ = true;
  box.Move(rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top);
  if (!box.HasFocus()) SetFocus(box.hwnd());
}

// A change still waiting for the editor's delay is written first: a quick
// Enter or Esc after typing must not lose the last keys.
void CellEditor::Hide() {
  if (active_) OnChange();
  active_ = false;
  txtCellItem_->Move(kParked, kParked, rect_.right - rect_.left, rect_.bottom - rect_.top);
}

// ---- while open --------------------------------------------------------------------------------

// The cell takes the text at once; a row whose height changed is paginated
// again before the next paint.
void CellEditor::OnChange() {
  if (!active_ || !StillAtAddress(area_, row_, col_)) return;
  KtRows* rows = control_.Rows(area_);
  if (control_.GetProperty(row_, col_, "Text", area_).ToString() == txtCellItem_->Text()) return;
  const float before = rows->Item(row_)->RowHeight();
  control_.SetProperty(row_, col_, "Text", Variant(txtCellItem_->Text()), area_);
  if (rows->Item(row_)->RowHeight() != before) control_.NeedsRepaging(true);
  control_.Refresh();
  // The preview draws straight to the screen, over its siblings: the editor paints again on top.
  if (active_) txtCellItem_->Refresh();
}

void CellEditor::OnKeyPress(std::int16_t& key) {
  switch (key) {
    case VK_TAB: key = 0; return;
    case VK_ESCAPE:
      key = 0;
      Hide();
      return;
    case VK_RETURN: {
      const std::int32_t action = control_.EditEnterAction();
      if (action == ppEnterNone) {
        key = 0;
      } else if (action == ppEnterNext || action == ppEnterPrevious) {
        key = 0;
        RequestMove(action);
      }
      return;  // ppEnterAddCRLF: the editor has it
    }
    default: return;
  }
}

void CellEditor::OnKeyDown(std::int16_t& code, std::int16_t shift) {
  constexpr std::int16_t kCtrl = 2;
  if (shift != kCtrl || !active_ || code < VK_LEFT || code > VK_DOWN) return;
  const std::int32_t move = (code == VK_RIGHT || code == VK_DOWN) ? kMoveNext : kMovePrevious;
  code = 0;
  RequestMove(move);
}

// The move runs from the control's own message, once the key handler is done.
void CellEditor::RequestMove(std::int32_t move) {
  Hide();
  pendingMove_ = move;
  PostMessage(control_.hWnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
}

bool CellEditor::OnValidate() {
  std::int32_t row = 0, col = 0, area = 0;
  if (!ParseAddressTag(txtCellItem_->Tag, row, col, area)) return false;
  try {
    return control_.RaiseLeaveCell(row, col, area);
  } catch (const std::exception& e) {
    control_.RecordCaught(e);
    return false;
  }
}

void CellEditor::OnClick(bool hit, std::int32_t area, std::int32_t row, std::int32_t col) {
  if (!hit || row != row_ || col != col_ || area != area_) Hide();
}

// ---- moving ------------------------------------------------------------------------------------------

void CellEditor::OnMoveMessage() {
  if (pendingMove_ != kMoveNext && pendingMove_ != kMovePrevious) return;
  std::int32_t row = 0, col = 0, area = 0;
  if (!ParseAddressTag(txtCellItem_->Tag, row, col, area)) return;
  if (control_.RaiseLeaveCell(row, col, area)) {
    Show();  // refused: the editor stays on its cell
    return;
  }
  if (!FindEditable(pendingMove_, area, row, col)) return;
  render::CellHit hit;
  if (!render::CellAtAddress(control_, control_.PreviewPage(), area, row, col, hit)) return;
  Open(control_.Rows(area)->Item(row)->ItemText().Item(col), area, row, col, hit.rect);
}

bool CellEditor::FindEditable(std::int32_t move, std::int32_t& area, std::int32_t& row, std::int32_t& col) {
  const std::int32_t step = move == kMoveNext ? 1 : -1;
  const std::int16_t page = control_.PreviewPage();
  std::int32_t a = area, r = row, c = col;
  bool fromEditedCell = true;  // only the edited cell's row starts beside it
  for (int changes = 0;;) {
    KtRows* rows = control_.Rows(a);
    const std::int32_t n = rows ? rows->count() : 0;
    for (; r >= 1 && r <= n; r += step, fromEditedCell = false) {
      KtRow& candidate = *rows->Item(r);
      const std::int32_t cells = candidate.ItemText().count();
      if (!fromEditedCell) c = step > 0 ? 0 : cells + 1;
      if (a == Body && candidate.Page() != page) continue;
      for (c += step; c >= 1 && c <= cells; c += step) {
        if (Editable(candidate.ItemText().Item(c))) {
          area = a, row = r, col = c;
          return true;
        }
      }
    }
    if (++changes >= 3) return false;
    a = NextArea(a);
    KtRows* next = control_.Rows(a);
    r = step > 0 ? 1 : (next ? next->count() : 0);
    fromEditedCell = false;
  }
}

}  // namespace ktfolio
