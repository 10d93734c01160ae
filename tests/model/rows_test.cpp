// Adding rows (defaults, the model row, templates, insertion point), fitting their height and
// removing them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <tuple>

#include "model/host.h"
#include "model/rows.h"

namespace ktfolio {
namespace {

// A minimal owner: fixed page geometry and defaults.
class FakeHost : public DocumentHost {
 public:
  tpPageInfo page;
  tpDefaults defaults;
  FakeHost() { page.AvailWidth = 9000; }
  tpPageInfo PageInfo() const override { return page; }
  tpDefaults Defaults() const override { return defaults; }
  std::int32_t CurrentPage() const override { return 0; }
  std::int32_t PageCount() const override { return 0; }
  double Zoom() const override { return 100; }
  std::int32_t ColorResolution() const override { return 8; }
  bool ShowGuideLines() const override { return false; }
  void RecordError(std::int32_t, const std::string&, const std::string&) override {}
};

// A host and the rows it owns (destroyed first).
class Rows : public ::testing::Test {
 protected:
  FakeHost host;
  KtRows rows;
};

std::vector<float> Tabs(const KtRow& row) {
  std::vector<float> out;
  for (const auto& c : row.ItemText()) out.push_back(c->TabLeft());
  return out;
}

TEST_F(Rows, WithoutAModelCellsTakeUniformColumnsAndTheControlDefaults) {
  host.defaults.dInheritLastRow = false;
  host.defaults.dColSpacing = 100;
  host.defaults.dFontName = "Times New Roman";
  host.defaults.dFontSize = 12;
  host.defaults.dColAlignPos = ppRightBottom;
  host.defaults.dColLineTop = 3;
  host.defaults.dRowHeight = 555;
  KtRow* row = rows.Add(&host, 3);
  EXPECT_EQ(std::tuple(Tabs(*row), rows.ActiveCol(), rows.ActiveRow()),
            std::tuple(std::vector<float>{0, 3100, 6100}, 3, 1));
  const KtTextItem& cell = *row->ItemText().Item(1);
  EXPECT_EQ(std::tuple(cell.FontName(), cell.FontSize(), cell.AlignPos(), cell.LineTop(), cell.ShadowColor(),
                       cell.Clipping(), row->RowHeight()),
            std::tuple("Times New Roman", 12, ppRightBottom, 3, 0x8000000Fu, true, 555));
  EXPECT_EQ(std::tuple(cell.ParentRow(), cell.ParentControl()), std::tuple(row, &host));
}

TEST_F(Rows, InsertionFollowsActiveRow) {
  KtRow* a = rows.Add(&host, 1);
  KtRow* b = rows.Add(&host, 1);
  EXPECT_EQ(std::tuple(rows.Item(1), rows.Item(2)), std::tuple(a, b));
  // Zero on a non-empty collection goes first, a row goes after the active
  // one, and an active row beyond the end appends.
  for (auto [active, at] : {std::tuple(0, 1), std::tuple(1, 2), std::tuple(50, 5)}) {
    rows.ActiveRow(active);
    KtRow* added = rows.Add(&host, 1);
    EXPECT_EQ(std::tuple(rows.Item(at), rows.ActiveRow()), std::tuple(added, at)) << "active row " << active;
  }
}

TEST_F(Rows, InheritLastRowCopiesCellsButNotTexts) {
  host.defaults.dColSpacing = 0;
  KtRow* first = rows.Add(&host, 2);
  first->ItemText().Item(1)->Text("keep out");
  first->ItemText().Item(2)->TabLeft(2000);
  first->ItemText().Item(2)->FontBold(true);
  first->RowSpacing(77);
  first->PageBreak(true);

  KtRow* second = rows.Add(&host, 4);
  ASSERT_EQ(second->ItemText().count(), 4);
  EXPECT_EQ(std::tuple(second->ItemText().Item(1)->Text(), second->ItemText().Item(2)->FontBold(),
                       second->RowSpacing(), second->PageBreak(), rows.ActiveCol()),
            std::tuple("", true, 77, false, 4));
  // Extra columns continue after the model's last TabLeft, width AvailWidth-used over n.
  // used = 2000, rest = 7000, w = 1750: cells 3 and 4 at 2000 + 1*1750 and 2000 + 2*1750.
  EXPECT_EQ(Tabs(*second), (std::vector<float>{0, 2000, 3750, 5500}));
  rows.Add(&host, 2);
  EXPECT_EQ(std::tuple(rows.Item(3)->ItemText().count(), rows.ActiveCol()), std::tuple(4, 4))
      << "a model with more cells keeps them all";
}

TEST_F(Rows, GuideRowIsTheModelWhenNotInheriting) {
  host.defaults.dInheritLastRow = false;
  KtRow* guide = rows.Add(&host, 1);
  guide->ItemText().Item(1)->FontItalic(true);
  rows.Add(&host, 1);
  rows.GuideRow(1);
  EXPECT_TRUE(rows.Add(&host, 1)->ItemText().Item(1)->FontItalic());
  rows.GuideRow(9);
  EXPECT_FALSE(rows.Add(&host, 1)->ItemText().Item(1)->FontItalic()) << "out of range: defaults again";
}

TEST_F(Rows, MissingIndicesFixedHeightCelllessRowsAndTemplates) {
  rows.Add(&host, 2);
  EXPECT_THROW(rows.Item(2), Error);
  EXPECT_THROW(rows.Remove(0), Error);
  EXPECT_EQ(rows.Item(1)->ItemText().Item(3), nullptr);
  EXPECT_THROW(rows.Item(1)->ItemText().Remove(3), Error);
  KtRow *fixed = rows.AddR(&host), *empty = rows.AddR(&host);
  fixed->FitHeightToText(false);
  fixed->RowHeight(1234);
  empty->FitHeightToText(true);
  empty->IndentTop(30);
  empty->IndentBottom(45);
  fixed->FitHeight(nullptr);
  empty->FitHeight(nullptr);
  EXPECT_EQ(std::tuple(fixed->RowHeight(), empty->RowHeight()), std::tuple(1234, 75)) << "a cell-less row: its indents";
  KtRow model;
  model.PageBreak(true);
  model.RowHeight(999);
  model.IndentTop(11);
  KtTextItem cellModel;
  cellModel.Text("from template");
  cellModel.FontSize(14);
  TemplateRow() = &model;
  TemplateCell() = &cellModel;
  KtRow* row = rows.AddRPlus(&host, 2);
  TemplateRow() = nullptr;
  TemplateCell() = nullptr;
  ASSERT_EQ(row->ItemText().count(), 2);
  EXPECT_EQ(std::tuple(row->PageBreak(), row->RowHeight(), row->ItemText().Item(2)->Text(),
                       row->ItemText().Item(2)->FontSize()),
            std::tuple(true, 999, "from template", 14));
}

TEST_F(Rows, RemovedRowsMakeRoomAndTheOthersKeepTheirCells) {
  // Rows share blocks; removing some and adding others must leave every
  // remaining row and cell as it was (the sanitizer build checks the memory).
  host.defaults.dInheritLastRow = false;
  auto add = [&](int first, int end) {
    for (int i = first; i < end; ++i) {
      rows.ActiveRow(rows.count());
      KtRow* r = rows.Add(&host, 2);
      r->RowHeight(static_cast<float>(i));
      r->ItemText().Item(1)->Text("row " + std::to_string(i));
    }
  };
  add(0, 3000);
  rows.RemoveRange(100, 2000);
  rows.Remove(1);
  add(3000, 3500);
  ASSERT_EQ(rows.count(), 3000 - 2001 + 500);
  std::vector<int> expected;
  for (int i = 1; i < 99; ++i) expected.push_back(i);
  for (int i = 2099; i < 3500; ++i) expected.push_back(i);
  for (std::size_t k = 0; k < expected.size(); ++k) {
    const KtRow& r = rows.at0(k);
    ASSERT_EQ(std::tuple(r.RowHeight(), r.ItemText().Item(1)->Text(), r.ItemText().Item(1)->ParentRow()),
              std::tuple(static_cast<float>(expected[k]), "row " + std::to_string(expected[k]), &r))
        << k;
  }
  rows.Clear();
  EXPECT_EQ(rows.count(), 0);
  EXPECT_NE(rows.Add(&host, 1), nullptr) << "a cleared collection takes rows again";
}

TEST_F(Rows, TextsInTheRowsRoomOutliveItsBlockWhenCellsAreAddedMovedOrRemoved) {
  // A row made with room for its texts, as rows added in bulk are: the
  // texts borrowed from the room must survive every way the block can go
  // (the sanitizer build checks the memory).
  const std::string a(40, 'a'), b(30, 'b'), c = "short", d(20, 'd');
  host.defaults.dInheritLastRow = false;
  const std::size_t bytes = CellText::RecordSize(a.size()) + CellText::RecordSize(b.size());
  KtRow* row = rows.Add(&host, 3, bytes);
  KtTextItemCol& cells = row->ItemText();
  cells.Item(1)->StoredTextIn(a, cells.TextRoom(CellText::RecordSize(a.size())));
  cells.Item(2)->StoredTextIn(b, cells.TextRoom(CellText::RecordSize(b.size())));
  cells.Item(3)->StoredText(c);
  EXPECT_EQ(cells.TextRoom(1), nullptr) << "the room is used up";
  auto texts = [&] {
    std::vector<std::string> t;
    for (const auto& cell : cells) t.emplace_back(cell->StoredText());
    return t;
  };
  EXPECT_EQ(texts(), (std::vector<std::string>{a, b, c}));
  cells.Item(2)->StoredText(d);  // the borrowed record is left, not freed
  cells.Remove(1);
  EXPECT_EQ(texts(), (std::vector<std::string>{d, c}));
  // Borrow again, then make the block move: the texts go with the cells.
  KtRow* other = rows.Add(&host, 2, CellText::RecordSize(a.size()));
  KtTextItemCol& more = other->ItemText();
  more.Item(1)->StoredTextIn(a, more.TextRoom(CellText::RecordSize(a.size())));
  const char* inRoom = more.Item(1)->StoredText().data();
  for (int i = 0; i < 5; ++i) more.AddNew().StoredText("added " + std::to_string(i));
  // The blocks given up are taken again and written over.
  std::vector<std::string> reuse;
  auto overwrite = [&] {
    for (std::size_t n = 64; n < 512; n += 8) reuse.emplace_back(n, 'z');
  };
  overwrite();
  EXPECT_EQ(std::tuple(more.count(), more.Item(1)->StoredText(), more.Item(7)->StoredText()),
            std::tuple(7, a, "added 4"));
  EXPECT_NE(more.Item(1)->StoredText().data(), inRoom) << "copied out of the block given up";
  // A cell moved out of a row's room into another row keeps its text after the first row goes.
  KtRow* third = rows.Add(&host, 1, CellText::RecordSize(b.size()));
  third->ItemText().Item(1)->StoredTextIn(b, third->ItemText().TextRoom(CellText::RecordSize(b.size())));
  const char* inThirdsRoom = third->ItemText().Item(1)->StoredText().data();
  KtTextItem* moved = more.AddItem(std::move(*third->ItemText().Item(1)));
  EXPECT_NE(moved->StoredText().data(), inThirdsRoom);
  rows.Remove(rows.count());
  overwrite();
  EXPECT_EQ(moved->StoredText(), b);
  more.ShrinkToFit();
  EXPECT_EQ(std::tuple(more.Item(1)->StoredText(), more.Item(8)->StoredText()), std::tuple(a, b));
}

TEST_F(Rows, TheCellsOfRemovedRowsMakeRoomForRowsAddedLater) {
  // A log that drops its oldest rows as it adds new ones stays the same size.
  host.defaults.dInheritLastRow = false;
  auto add = [&](int k) {
    std::set<const KtTextItem*> firsts;
    for (int i = 0; i < k; ++i) {
      rows.ActiveRow(rows.count());
      KtRow* r = rows.Add(&host, 5, CellText::RecordSize(40));
      r->ItemText().Item(2)->StoredTextIn(std::string(40, 'a' + i % 26), r->ItemText().TextRoom(CellText::RecordSize(40)));
      firsts.insert(r->ItemText().Item(1));
    }
    return firsts;
  };
  add(1);  // stays: a collection left empty gives all its memory back
  const auto before = add(300);
  rows.RemoveRange(2, 300);
  const auto after = add(300);
  EXPECT_EQ(after, before);
  for (int i = 0; i < 300; ++i)
    ASSERT_EQ(rows.at0(static_cast<std::size_t>(i) + 1).ItemText().Item(2)->StoredText(), std::string(40, 'a' + i % 26))
        << i;
  // A row read cell by cell and compacted twice gives its first block back.
  auto read = [&] {
    KtRow* row = rows.AddR(&host, 2);
    for (int i = 0; i < 2; ++i) row->ItemText().AddRPlus(&host, row)->StoredText(std::string(50, 'r'));
    rows.CompactLast();
    return row;
  };
  KtRow* twice = read();
  const KtTextItem* first = twice->ItemText().Item(1);
  rows.CompactLast();
  EXPECT_EQ(read()->ItemText().Item(1), first);
  EXPECT_EQ(twice->ItemText().Item(2)->StoredText(), std::string(50, 'r'));
}

TEST_F(Rows, ARowReadCellByCellIsCompactedIntoOneBlockWithItsTexts) {
  // As a template is read: cells one by one, texts set afterwards.
  KtRow* row = rows.AddR(&host, 8);
  KtTextItemCol& cells = row->ItemText();
  const std::vector<std::string> texts{std::string(30, 'x'), "short", std::string(12, 'y'), "", std::string(200, 'z')};
  for (const std::string& t : texts) cells.AddRPlus(&host, row)->StoredText(t);
  rows.CompactLast();
  EXPECT_EQ(cells.capacity(), cells.count());
  const auto* blockEnd = reinterpret_cast<const char*>(cells.Item(cells.count()) + 1);
  for (int i = 1; i <= cells.count(); ++i) {
    const std::string_view stored = cells.Item(i)->StoredText();
    EXPECT_EQ(stored, texts[static_cast<std::size_t>(i) - 1]) << i;
    if (stored.size() > CellText::kInline) {
      EXPECT_TRUE(stored.data() >= blockEnd && stored.data() < blockEnd + 300) << "in the row's block: " << i;
    }
  }
  // Growing again takes the texts along.
  cells.AddNew().StoredText("more");
  EXPECT_EQ(std::tuple(cells.Item(1)->StoredText(), cells.Item(5)->StoredText(), cells.Item(6)->StoredText()),
            std::tuple(texts[0], texts[4], "more"));
}

TEST(CellArena, BlocksGivenBackServeTheNextOfTheirSizeAndNoneOverlap) {
  CellArena arena;
  EXPECT_EQ(arena.Allocate(CellArena::kLargest + 1), nullptr);
  // Enough blocks to fill several chunks, each written through.
  std::vector<std::pair<unsigned char*, std::size_t>> blocks;
  for (std::size_t i = 0; i < 2000; ++i) {
    const std::size_t n = 8 + (i * 37) % 400;
    auto* p = static_cast<unsigned char*>(arena.Allocate(n));
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(void*), 0u);
    std::memset(p, static_cast<int>(i % 251), n);
    blocks.emplace_back(p, n);
  }
  for (std::size_t i = 0; i < blocks.size(); ++i)
    ASSERT_EQ(std::count(blocks[i].first, blocks[i].first + blocks[i].second, static_cast<unsigned char>(i % 251)),
              static_cast<std::ptrdiff_t>(blocks[i].second))
        << i;
  // Given back, a block is the next one of its size (rounded up), not of another.
  arena.Free(blocks[5].first, blocks[5].second);
  arena.Free(blocks[9].first, blocks[9].second);
  EXPECT_NE(arena.Allocate(blocks[5].second + 64), blocks[5].first);
  EXPECT_EQ(arena.Allocate(blocks[9].second - 1), blocks[9].first);
  EXPECT_EQ(arena.Allocate(blocks[5].second), blocks[5].first);
  // A block a little larger serves too; a much larger one waits for its size.
  arena.Free(blocks[20].first, blocks[20].second);
  EXPECT_NE(arena.Allocate(blocks[20].second - 128), blocks[20].first);
  EXPECT_EQ(arena.Allocate(blocks[20].second - 40), blocks[20].first);
}

}  // namespace
}  // namespace ktfolio
