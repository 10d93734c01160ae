// A report built through KtPrint4 directly. test_same_as_cpp.py builds the
// same report through the Python module and expects the very same lines:
//   row <n> <Page> <TopInPage> <NewPage>   for every body row
//   pages <Pages>
// once after building, once after a break-clearing repagination, once after
// removing rows.
#include <charconv>
#include <cstdio>
#include <string>

#include "control/ktprint4.h"

using namespace ktfolio;

namespace {

// Items go in as a const lvalue array: the variadic convenience overloads of
// the adding methods would take a temporary array for one more item.
const VariantArray& Items(const VariantArray& items) { return items; }

std::string Shortest(float f) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, f);
  return std::string(buf, r.ptr);
}

void Dump(KtPrint4& c, const char* stage) {
  std::printf("stage %s\n", stage);
  const std::int16_t pages = c.Pages();
  KtRows& body = *c.Rows(Body);
  for (std::int32_t i = 1; i <= body.count(); ++i) {
    const KtRow& r = *body.Item(i);
    std::printf("row %d %d %s %d\n", i, r.Page(), Shortest(r.TopInPage()).c_str(), r.NewPage() ? 1 : 0);
  }
  std::printf("pages %d\n", pages);
}

}  // namespace

int main() {
  KtPrint4 c;
  c.ScaleMode(eMillimetre);
  c.PageSize(s_A5);
  c.MarginTop(20);
  c.MarginBottom(25);
  c.dFitHeightToText(false);
  c.dRowHeight(9.5f);
  c.RowSpacing(1.25f);
  c.dColsPerRow(3);

  c.AddHeaderRow(Items({"Quarterly listing", "#5000#Page %p of %n"}));
  c.AddFooterRow(Items({"Printed by ktfolio"}));
  c.AddStartDocRow(Items({"Opening balance", 1250.5}));
  for (int i = 1; i <= 45; ++i) c.AddRow(Items({"Item " + std::to_string(i), i * 3, i % 2 == 0}));
  c.SetProperty(12, -1, "RowHeight", Variant(1800));
  c.SetProperty(20, -1, "RowSpacing", Variant(300));
  c.SetPageBreak(30);
  c.AddEndDocRow(Items({"Total", 3105}));
  c.OutLineBlock(2, ppOutLineFull, 2, 1, true, Body, 10, 3);
  Dump(c, "built");

  c.RePaging(1, true);
  Dump(c, "cleared");

  c.RemoveRows(5, 9);
  c.SetPageBreak(14);
  c.RePaging(2, false);
  Dump(c, "removed");
  return 0;
}
