// The formatted text box's caption and persistence: where the caption sits, how the box paints,
// what a rebuilt edit window keeps, and its properties through the bag.
#include <gtest/gtest.h>

#include <list>
#include <tuple>

#include "controls/kttext.h"
#include "platform/container/form.h"
#include "platform/container/property_bag.h"
#include "support/golden.h"

namespace ktfolio {
namespace {

using namespace win;

std::string Str(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class CaptionTest : public ::testing::Test {
 protected:
  CaptionTest() : form_(400, 200), box_(form_.hwnd(), "txtCity", form_) {
    box_.Move(10, 10, 300, 60);
    form_.Show();
  }
  // The edit window's rectangle in the box's client coordinates.
  RECT EditRect() {
    RECT rc;
    GetWindowRect(box_.hwnd(), &rc);
    POINT o{0, 0};
    ClientToScreen(box_.ControlWindow(), &o);
    return RECT{rc.left - o.x, rc.top - o.y, rc.right - o.x, rc.bottom - o.y};
  }
  Form form_;
  KtText box_;
};

TEST_F(CaptionTest, TheCaptionTakesItsSideAndARebuiltEditWindowKeepsTheText) {
  struct Case { const char* name; std::int32_t position; const char* size; const char *caption, *edit; };
  const Case cases[] = {
      {"top, half the height by default", 0, "-50", "0,0,300,30", "0,30,300,60"},
      {"left, a quarter of the width", 1, "-25", "0,0,75,60", "75,0,300,60"},
      {"bottom, 300 twips", 2, "300", "0,40,300,60", "0,0,300,40"},
      {"right, 1500 twips", 3, "1500", "200,0,300,60", "0,0,200,60"},
      {"a size below one pixel hides it", 0, "0", "0,0,0,0", "0,0,300,60"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    box_.CaptionPosition(c.position);
    box_.CaptionSize(c.size);
    EXPECT_EQ(Str(box_.CaptionRect()) + " " + Str(EditRect()), std::string(c.caption) + " " + c.edit);
  }
  box_.CaptionSize("-50");
  box_.Caption("");
  EXPECT_EQ(EditRect().top, 0) << "an empty caption takes no room";
  box_.Text("first line");
  const HWND before = box_.hwnd();
  box_.MultiLine(true);
  EXPECT_NE(box_.hwnd(), before) << "a new edit window";
  EXPECT_EQ(box_.Text(), "first line");
  EXPECT_NE(GetWindowLongPtr(box_.hwnd(), GWL_STYLE) & ES_MULTILINE, 0);
  box_.MaxLength(5);
  box_.Alignment(1);
  EXPECT_EQ(box_.Text(), "first") << "the new window takes no more than MaxLength";
  EXPECT_NE(GetWindowLongPtr(box_.hwnd(), GWL_STYLE) & ES_RIGHT, 0);
}

// Four boxes on one golden form: the caption "Ciudad" in red on light blue
// above an edit window in the window colour; then edit windows alone in the
// back colour of an enabled (light grey-blue), a disabled (light green) and a
// locked box (light red).
TEST(KtTextLook, TheCaptionAndTheEditWindowPaintInTheColoursOfTheBoxsState) {
  Form form(320, 170);
  std::list<KtText> boxes;
  for (int i = 0; i < 4; ++i) {
    KtText& box = boxes.emplace_back(form.hwnd(), "txtCity", form);
    box.Move(10, i == 0 ? 10 : 42 + i * 30, 300, i == 0 ? 60 : 24);
    box.Caption(i == 0 ? "Ciudad" : "");
    box.CaptionBackColor(0x00FFE0C0);
    box.CaptionForeColor(0x000000FF);
    if (i > 0) box.BackColor(0x00F0E0D0);
    box.BackDisabledColor(0x00C0FFC0);
    box.LockedBackColor(0x00A0B0FF);
    box.Enabled(i != 2);
    box.Locked(i == 3);
  }
  form.Show();
  HBITMAP shot = user::CaptureWindow(form.hwnd());
  EXPECT_TRUE(ktfolio::testing::MatchesGolden(shot, "controls/text_boxes.png"));
  DeleteObject(shot);
}

TEST(KtTextProperties, EveryPropertyGoesToTheBagAndComesBack) {
  Form form(300, 100);
  KtText box(form.hwnd(), "txtTotal", form), copy(form.hwnd(), "txtTotal", form);
  const auto defaults = box.PersistedDefaults();
  ASSERT_EQ(defaults.size(), box.PersistedValues().size());
  PropertyBag bag;
  auto write = [&] {
    const auto values = box.PersistedValues();
    for (size_t i = 0; i < values.size(); ++i) bag.WriteProperty(values[i].name, values[i].value, defaults[i].value);
  };
  write();
  EXPECT_TRUE(bag.Entries().empty()) << "a new box stores nothing: every value is its default";
  box.ControlType(ktNumeric);
  box.LengthInt(6);
  box.LengthDec(2);
  box.ThousandMarks(true);
  box.Value(1234.5);
  box.BackFocusedColor(0x00112233);
  box.Caption("Total");
  box.CaptionPosition(1);
  box.TrapTabKey(true);
  box.Locked(true);
  write();
  const PropertyBag read = PropertyBag::FromText(bag.ToText());
  copy.ReadProperties([&read](const std::string& name, const Variant& def) { return read.ReadProperty(name, def); });
  EXPECT_EQ(std::tuple(copy.ControlType(), copy.LengthInt(), copy.LengthDec(), copy.ThousandMarks(), copy.Value(),
                       copy.Text(), copy.BackFocusedColor(), copy.Caption(), copy.CaptionPosition(),
                       copy.TrapTabKey(), copy.Locked()),
            std::tuple(ktNumeric, 6, 2, true, 1234.5, "1.234,50", 0x00112233u, "Total", 1, true, true));
  EXPECT_TRUE(read.Contains("TrapTab")) << "the key is TrapTab, the property TrapTabKey";
}

}  // namespace
}  // namespace ktfolio
