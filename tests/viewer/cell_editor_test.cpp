// Editing cells in the preview as a user does: double-clicks, typing, Enter and Ctrl with the
// arrows, Esc and the focus leaving; the host's EnterCell / LeaveCell and their veto.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control/ktprint4_impl.h"
#include "viewer/toolbar.h"
#include "model/units.h"
#include "platform/container/form.h"
#include "platform/gdi/gdi_testing.h"
#include "viewer/portv.h"
#include "render/render_internal.h"
#include "support/errors.h"
#include "support/form.h"

namespace ktfolio {
namespace {

using namespace win;

constexpr int kAfterChange = 60;  // ms: past the editor's 25 ms change delay

struct Sink : KtPrint4Events {
  std::vector<std::string> log;
  bool vetoEnter = false, vetoLeave = false;
  std::function<void()> during;  // what the host does inside EnterCell and LeaveCell
  void EnterCell(std::int32_t row, std::int32_t col, std::int32_t area, bool& cancel) override {
    Log("enter ", row, col, area, cancel = vetoEnter);
  }
  void LeaveCell(std::int32_t row, std::int32_t col, std::int32_t area, bool& cancel) override {
    Log("leave ", row, col, area, cancel = vetoLeave);
  }
  void Log(const char* what, std::int32_t row, std::int32_t col, std::int32_t area, bool) {
    log.push_back(what + std::to_string(area) + ":" + std::to_string(row) + "," + std::to_string(col));
    if (during) during();
  }
};

// A header row, three body rows and a footer row of two cells each; cells of
// column 1 and the header and footer are editable, body column 2 is not.
class CellEditing : public ::testing::Test {
 protected:
  void SetUp() override {
    live_ = Live();
    form_ = std::make_unique<Form>(640, 480);
    control_ = std::make_unique<KtPrint4Impl>(form_.get());
    control_->dFitHeightToText(false);
    control_->dRowHeight(500);
    control_->AddHeaderRow("head a", "head b");
    for (int i = 1; i <= 3; ++i) control_->AddRow("row " + std::to_string(i), "fixed " + std::to_string(i));
    control_->AddFooterRow("foot a", "foot b");
    Editable(-1, 1, Body);
    Editable(1, -1, Header);
    Editable(1, -1, Footer);
    control_->AllowCellEditing(true);
    control_->Advise(&sink_);
    PlaceOnForm(*control_, *form_);
    form_->Show();
  }
  void TearDown() override {
    control_->Unadvise(&sink_);
    control_.reset();
    form_.reset();
    EXPECT_EQ(Live(), live_) << "windows, timers and subclass or hook properties all went with the form";
  }
  static std::tuple<int, int, int> Live() {
    return {user::LiveWindowCount(), user::LiveTimerCount(), user::LivePropertyCount()};
  }
  void Editable(std::int32_t row, std::int32_t col, std::int32_t area, std::int32_t type = 1) {
    control_->SetProperty(row, col, "EditType", Variant(type), area);
  }
  void Zoom(std::int16_t zoom) {
    control_->SetZoom(zoom);
    form_->Pump();
  }
  // Keys pressed one by one, with the cell the editor must be on after each.
  struct Step { int key; bool ctrl; std::int32_t area, row, col; };
  void Walk(std::initializer_list<Step> steps) {
    for (const Step& s : steps) {
      form_->Key(s.key, false, s.ctrl);
      EXPECT_TRUE(EditorOn(s.area, s.row, s.col)) << "key " << s.key << ": to " << s.area << ":" << s.row << "," << s.col;
    }
  }
  void TypeAndWait(const std::string& text) {
    form_->Type(text);
    form_->Pump(kAfterChange);
  }

  // The cell's rectangle in form pixels, as the preview shows it now.
  RECT CellRect(std::int32_t area, std::int32_t row, std::int32_t col) {
    render::CellHit hit;
    EXPECT_TRUE(render::CellAtAddress(*control_, control_->PreviewPage(), area, row, col, hit));
    RECT vp;
    GetWindowRect(control_->ViewportWindow(), &vp);
    POINT origin{0, 0};
    ClientToScreen(form_->hwnd(), &origin);
    const POINT off = ViewOffset();
    const double z = control_->Zoom() / 100.0;
    auto px = [z](double twips, float perPixel) { return static_cast<int>(std::lround(twips / perPixel * z)); };
    const int left = vp.left - origin.x - off.x, top = vp.top - origin.y - off.y;
    return RECT{left + px(hit.rect.left, TwipsPerPixelX()), top + px(hit.rect.top, TwipsPerPixelY()),
                left + px(hit.rect.right, TwipsPerPixelX()), top + px(hit.rect.bottom, TwipsPerPixelY())};
  }
  // The scrolled-off part of the page, as the viewport reports it with a click.
  POINT ViewOffset() {
    std::int32_t ox = 0, oy = 0;
    reinterpret_cast<PortV*>(GetWindowLongPtr(control_->ViewportWindow(), GWLP_USERDATA))->GetViewOffset(ox, oy);
    return {ox, oy};
  }
  void DoubleClickCell(std::int32_t area, std::int32_t row, std::int32_t col) {
    const RECT rc = CellRect(area, row, col);
    form_->DoubleClick(std::max<int>(rc.left, 0) + 10, (rc.top + rc.bottom) / 2);  // a scrolled cell: its visible part
  }
  Form::ChildInfo Editor() { return ktfolio::testing::Child(*form_, "txtCellItem"); }
  bool EditorOn(std::int32_t area, std::int32_t row, std::int32_t col) {
    const RECT rc = CellRect(area, row, col);
    const Form::ChildInfo e = Editor();
    return std::abs(e.x - rc.left) <= 1 && std::abs(e.y - rc.top) <= 1 &&
           std::abs(e.x + e.width - rc.right) <= 1 && std::abs(e.y + e.height - rc.bottom) <= 1;
  }
  // The editor's formatting rectangle, where its text goes, in pixels of the
  // zoomed page.
  RECT EditorTextOnPage() {
    HWND edit = GetFocus();
    RECT fr{};
    SendMessage(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
    POINT corners[] = {{fr.left, fr.top}, {fr.right, fr.bottom}};
    for (POINT& p : corners) ClientToScreen(edit, &p), ScreenToClient(control_->ViewportWindow(), &p);
    const POINT off = ViewOffset();
    return RECT{corners[0].x + off.x, corners[0].y + off.y, corners[1].x + off.x, corners[1].y + off.y};
  }
  bool EditorParked() { return Editor().x <= -10000; }
  std::string CellText(std::int32_t area, std::int32_t row, std::int32_t col) {
    return control_->GetProperty(row, col, "Text", area).ToString();
  }
  ktfolio::testing::Recorded LastError() { return ktfolio::testing::LastRecorded(*control_); }

  Sink sink_;
  std::unique_ptr<Form> form_;
  std::unique_ptr<KtPrint4Impl> control_;
  std::tuple<int, int, int> live_;
};

TEST_F(CellEditing, ADoubleClickLaysTheEditorOverTheCellAndClicksEndIt) {
  DoubleClickCell(Body, 2, 1);
  EXPECT_EQ(sink_.log, std::vector<std::string>{"enter 0:2,1"});
  EXPECT_TRUE(EditorOn(Body, 2, 1)) << "the editor covers the cell";
  EXPECT_EQ(MemberName(GetParent(GetFocus())), "txtCellItem") << "the editor has the focus";
  TypeAndWait("!");
  EXPECT_EQ(CellText(Body, 2, 1), "row 2!") << "the caret starts after the text; the cell has the change at once";
  const Form::ChildInfo e = Editor();
  EXPECT_EQ(user::WindowPixel(form_->hwnd(), e.x + 2, e.y + e.height - 3), 14150898u)
      << "the focused editor stays painted over the preview that redrew the cell";
  form_->Key(VK_ESCAPE);
  EXPECT_TRUE(EditorParked() && CellText(Body, 2, 1) == "row 2!") << "Esc does not undo";
  control_->AutoHighLightEditing(true);
  DoubleClickCell(Body, 1, 1);
  const RECT same = CellRect(Body, 1, 1), other = CellRect(Body, 2, 1);
  TypeAndWait("new");
  EXPECT_EQ(CellText(Body, 1, 1), "new") << "AutoHighLightEditing: typing replaces the text";
  form_->Click(same.left + 5, same.top + 5);
  EXPECT_TRUE(EditorOn(Body, 1, 1)) << "a click on the edited cell keeps it";
  form_->Click(other.left + 5, other.top + 5);
  EXPECT_TRUE(EditorParked()) << "a click on another cell ends the editing";
}

TEST_F(CellEditing, DoubleClicksThatOpenNoEditor) {
  using enum ErrorCode;
  struct Case { const char* name; bool allow, veto, margin; std::int32_t col; ErrorCode error; };
  const Case cases[] = {
      {"without AllowCellEditing nothing at all", false, false, false, 1, {}},
      {"outside every cell", true, false, true, 1, kDoubleClickOutsidePrintableArea},
      {"not an editable cell", true, false, false, 2, kDoubleClickOnUneditableCell},
      {"a vetoed EnterCell", true, true, false, 1, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    control_->AllowCellEditing(c.allow);
    sink_.vetoEnter = c.veto;
    const RECT rc = CellRect(Body, 1, c.col);
    c.margin ? form_->DoubleClick(rc.left - 20, rc.top) : DoubleClickCell(Body, 1, c.col);
    EXPECT_EQ(std::tuple(LastError().number, LastError().source),
              std::tuple(ToInt(c.error), c.error == ErrorCode{} ? "" : "Editing Cell"));
    EXPECT_EQ(sink_.log, std::vector<std::string>(c.veto, "enter 0:1,1"));
    EXPECT_TRUE(EditorParked());
    TypeAndWait("x");
    EXPECT_EQ(CellText(Body, 1, 1), "row 1");
    control_->ClearError();
    sink_.log.clear();
  }
  sink_.vetoEnter = false;
  control_->DesigMode(true);
  DoubleClickCell(Body, 1, 2);
  EXPECT_TRUE(EditorOn(Body, 1, 2)) << "in design mode every cell can be edited";
}

TEST_F(CellEditing, EnterAndCtrlWithTheArrowsMoveThroughTheEditableCellsAndTheAreaCycle) {
  control_->EditEnterAction(ppEnterNext);
  DoubleClickCell(Body, 2, 1);
  // Body column 2 is skipped; after the last body cell of the page the footer, then the header.
  Walk({{VK_RETURN, false, Body, 3, 1}, {VK_RETURN, false, Footer, 1, 1}, {VK_RETURN, false, Footer, 1, 2},
        {VK_RETURN, false, Header, 1, 1}});
  TypeAndWait("H");
  EXPECT_EQ(CellText(Header, 1, 1), "head aH");
  EXPECT_EQ(sink_.log, (std::vector<std::string>{"enter 0:2,1", "leave 0:2,1", "enter 0:3,1", "leave 0:3,1",
                                                 "enter 2:1,1", "leave 2:1,1", "enter 2:1,2", "leave 2:1,2",
                                                 "enter 1:1,1"}));
  // Ctrl with the arrows: the cycle goes on to the body whatever the direction; with
  // ppEnterNone, Enter changes nothing.
  control_->EditEnterAction(ppEnterNone);
  Walk({{VK_LEFT, true, Body, 3, 1}, {VK_UP, true, Body, 2, 1}, {VK_DOWN, true, Body, 3, 1},
        {VK_RETURN, false, Body, 3, 1}});
  EXPECT_EQ(CellText(Body, 3, 1), "row 3");
}

TEST_F(CellEditing, BackwardMovesStartEachRowAtItsLastCellWhateverItsLength) {
  control_->AddRow("four a", "four b", "four c");  // a longer row: body row 4
  Editable(4, -1, Body);
  Editable(3, 1, Body, 0);
  Editable(2, 2, Body);
  form_->Pump();
  DoubleClickCell(Body, 4, 1);
  // Row 3 has nothing editable; row 2 is entered from its last cell.
  Walk({{VK_LEFT, true, Body, 2, 2}, {VK_RIGHT, true, Body, 4, 1}, {VK_RIGHT, true, Body, 4, 2}});
}

TEST_F(CellEditing, OnALaterPageTheBodyRowsOfOtherPagesAreSkipped) {
  for (int i = 4; i <= 60; ++i) control_->AddRow("row " + std::to_string(i), "fixed");
  Editable(-1, 1, Body);
  control_->NeedsRepaging(true);  // the preview counts its pages again on the next paint
  control_->Refresh();
  control_->Preview(2);
  form_->Pump();
  std::int32_t first = 0;  // the first body row printed on page 2
  for (std::int32_t r = 1; r <= control_->LastRow() && !first; ++r)
    if (control_->Rows(Body)->Item(r)->Page() == 2) first = r;
  ASSERT_GT(first, 1);
  DoubleClickCell(Body, first, 1);
  ASSERT_TRUE(EditorOn(Body, first, 1));
  form_->Key(VK_LEFT, false, true);
  EXPECT_TRUE(EditorOn(Footer, 1, 2)) << "page 1's rows are not on this page: on to the footer, from its end";
}

TEST_F(CellEditing, AVetoedLeaveCellKeepsTheEditorOnItsCell) {
  control_->EditEnterAction(ppEnterNext);
  DoubleClickCell(Body, 1, 1);
  sink_.vetoLeave = true;
  form_->Key(VK_RETURN);
  EXPECT_TRUE(EditorOn(Body, 1, 1)) << "a refused move";
  SetFocus(form_->hwnd());
  form_->Pump();
  EXPECT_TRUE(sink_.log.back() == "leave 0:1,1" && EditorOn(Body, 1, 1)) << "refused to the focus";
  TypeAndWait("?");
  EXPECT_EQ(CellText(Body, 1, 1), "row 1?") << "the focus came back to the editor";
  sink_.vetoLeave = false;
  SetFocus(form_->hwnd());
  form_->Pump();
  EXPECT_TRUE(EditorParked()) << "leaving allowed: the editor goes";
}

TEST_F(CellEditing, HandlersCannotFreeTheEditedRowsAndAMovedCellIsNotOpened) {
  control_->EditEnterAction(ppEnterNext);
  sink_.during = [this] { control_->ClearAll(); };
  DoubleClickCell(Body, 1, 1);
  form_->Key(VK_RETURN);  // LeaveCell, then EnterCell on the next cell
  EXPECT_EQ(std::tuple(LastError().number, LastError().source),
            std::tuple(ToInt(ErrorCode::kInvalidProcedureCall), "ClearAll"));
  EXPECT_TRUE(control_->LastRow() == 3 && EditorOn(Body, 2, 1)) << "refused in both events";
  form_->Key(VK_ESCAPE);

  // A row put above the cell moves it: the editor does not open on the cell
  // that took its address, and typing reaches no cell.
  sink_.during = [this] { sink_.during = nullptr; control_->AddStartDocRow("new first"); };
  DoubleClickCell(Body, 2, 1);
  EXPECT_TRUE(EditorParked());
  TypeAndWait("x");
  EXPECT_EQ(std::tuple(CellText(Body, 2, 1), CellText(Body, 3, 1)), std::tuple("row 1", "row 2"));
}

TEST_F(CellEditing, AtAnyZoomAndScrollTheEditorFollowsTheCell) {
  Zoom(150);
  auto* vp = reinterpret_cast<PortV*>(GetWindowLongPtr(control_->ViewportWindow(), GWLP_USERDATA));
  vp->ActiveBar(0);
  vp->Value(30);
  form_->Pump();
  DoubleClickCell(Body, 2, 1);
  EXPECT_TRUE(EditorOn(Body, 2, 1));
  EXPECT_GT(ViewOffset().x, 0) << "the page was scrolled sideways";
}

// The typed text stands where the cell drew it: the editor's text starts at
// the cell's text (or ends there, for a cell aligned right) and its line at
// the top of the cell's line, at any zoom.
TEST_F(CellEditing, TheEditorsTextLiesOnTheCellsDrawnText) {
  control_->SetProperty(1, 1, "AlignPos", Variant(ppRightCenter), Header);
  control_->SetProperty(3, 1, "AlignPos", Variant(ppLeftTop), Body);
  struct Case { std::int16_t zoom; std::int32_t area, row; const char* text; bool right; };
  const Case cases[] = {{100, Body, 2, "row 2", false}, {150, Body, 3, "row 3", false},
                        {100, Header, 1, "head a", true}, {75, Header, 1, "head a", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " at " + std::to_string(c.zoom));
    Zoom(c.zoom);
    std::vector<win::testing::DrawTextLayout> drawn;
    win::testing::RecordDrawText(&drawn);
    const HBITMAP page = render::RenderPageSurface(*control_, control_->PreviewPage(), control_->Zoom());
    win::testing::RecordDrawText(nullptr);
    DeleteObject(page);
    auto cell = std::find_if(drawn.begin(), drawn.end(), [&](const auto& l) { return l.lines.front() == c.text; });
    ASSERT_NE(cell, drawn.end());
    DoubleClickCell(c.area, c.row, 1);
    const RECT text = EditorTextOnPage();
    EXPECT_NEAR(c.right ? text.right : text.left, c.right ? cell->right : cell->left, 1);
    EXPECT_NEAR(text.top, cell->top, 1);
    form_->Key(VK_ESCAPE);
  }
}

// The font: bold without strike-through (the editor shows the text plainly), 12 points at
// 96 dpi in pixels, scaled by the zoom.
TEST_F(CellEditing, TheEditorTakesTheCellsAlignmentAndItsFontScaledByTheZoom) {
  control_->SetProperty(2, 1, "FontSize", Variant(12.0f), Body);
  control_->SetProperty(2, 1, "FontBold", Variant(true), Body);
  control_->SetProperty(2, 1, "FontStrikethru", Variant(true), Body);
  struct Case { std::int32_t pos; LONG_PTR style; std::int16_t zoom; LONG height; };
  const Case cases[] = {{ppLeftTop, 0, 100, -16}, {ppCenterCenter, ES_CENTER, 150, -24},
                        {ppCenterBottom, ES_CENTER, 50, -8}, {ppRightCenter, ES_RIGHT, 100, -16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pos);
    control_->SetProperty(2, 1, "AlignPos", Variant(c.pos), Body);
    Zoom(c.zoom);
    DoubleClickCell(Body, 2, 1);
    EXPECT_EQ(GetWindowLongPtr(GetFocus(), GWL_STYLE) & (ES_CENTER | ES_RIGHT), c.style);
    auto font = reinterpret_cast<HFONT>(SendMessage(GetFocus(), WM_GETFONT, 0, 0));
    LOGFONT lf;
    ASSERT_EQ(GetObject(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(std::tuple(lf.lfHeight, lf.lfWeight, int{lf.lfStrikeOut}),
              std::tuple(c.height, 700, 0));
    form_->Key(VK_ESCAPE);
  }
}

TEST_F(CellEditing, MultiLineEditingBreaksTheLineAndTheRowGrows) {
  control_->SetProperty(1, 1, "FitHeightToText", Variant(true), Body);
  control_->MultiLineEditing(true);
  const float before = control_->Rows(Body)->Item(1)->RowHeight();
  const float secondTop = control_->Rows(Body)->Item(2)->TopInPage();
  DoubleClickCell(Body, 1, 1);
  form_->Key(VK_RETURN);
  TypeAndWait("more");
  EXPECT_EQ(CellText(Body, 1, 1), "row 1\r\nmore");
  EXPECT_GT(control_->Rows(Body)->Item(1)->RowHeight(), before) << "the row was measured again";
  form_->Pump();
  EXPECT_GT(control_->Rows(Body)->Item(2)->TopInPage(), secondTop) << "and the rows below moved down";
}

}  // namespace
}  // namespace ktfolio
