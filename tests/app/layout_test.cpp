// Row heights, what rows draw, where rows are and where the floating
// correction box and button go.
#include <string>
#include <vector>

#include "list_fixture.h"

namespace apptest {
namespace {

using cleaner::kKindDeleteFile;
using cleaner::kKindDeleteKey;
using cleaner::kKindDeleteValue;
using cleaner::ProblemList;
using cleaner::ProblemNode;
using cleaner::Rect;
using cleaner::RowLayout;
using cleaner::TextColor;

TEST(UnitHeight, IsRoundedFromOnePointSevenTimesTheTextHeightHalvesToEven) {
  struct Case {
    const char* name;
    int textHeight;
    int unit;
  };
  const std::vector<Case> cases = {
      {"Tahoma 11 pixels", 13, 22},      // 22.1
      {"rounds up past a half", 14, 24},  // 23.8
      {"half to even, down", 5, 8},       // 8.5
      {"half to even, up", 15, 26},       // 25.5
      {"half to even, down again", 25, 42},
      {"whole", 10, 17},
      {"nothing measured", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(cleaner::UnitHeightFor(c.textHeight), c.unit);
    FakeCanvas canvas(c.textHeight);
    EXPECT_EQ(ProblemList(canvas).UnitHeight(), c.unit) << "measured on \"...\"";
  }
}

TEST_F(ListTest, RowHeightsFollowSelectionAndExpandedRow) {
  const int u = list_.UnitHeight();
  ProblemNode* a = AddSectionWith("A", 2);
  ProblemNode* b = AddSectionWith("B", 1);
  ProblemNode* a0 = a->children[0].get();
  ProblemNode* a1 = a->children[1].get();
  ProblemNode* b0 = b->children[0].get();
  // Rows the worker added are not initialised yet and still measure right.
  EXPECT_EQ(a0->height, 0);
  EXPECT_EQ(list_.RowHeight(*a), u);
  EXPECT_EQ(list_.RowHeight(*a0), 2 * u);
  EXPECT_EQ(list_.ExpandedRow(), nullptr);

  struct Step {
    const char* name;
    ProblemNode* select;
    ProblemNode* expanded;
    std::vector<int> units;  // a, a0, a1, b, b0
  };
  const std::vector<Step> steps = {
      {"a problem row shows its correction line", a0, a0, {1, 3, 2, 1, 2}},
      {"the next one takes it over", a1, a1, {1, 2, 3, 1, 2}},
      {"across sections", b0, b0, {1, 2, 2, 1, 3}},
      {"a section row stays one unit high", b, b, {1, 2, 2, 1, 2}},
      {"back to a problem", a0, a0, {1, 3, 2, 1, 2}},
      {"clearing the selection keeps the row expanded", nullptr, a0, {1, 3, 2, 1, 2}},
  };
  const std::vector<ProblemNode*> rows = {a, a0, a1, b, b0};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    list_.Select(step.select);
    EXPECT_EQ(list_.ExpandedRow(), step.expanded);
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(list_.RowHeight(*rows[i]), step.units[i] * u) << "row " << i;
      EXPECT_EQ(rows[i]->data.Expanded, rows[i] == step.expanded) << "row " << i;
    }
  }
}

TEST_F(ListTest, SectionRowDrawsPictureAndCaptionWithCountOrAnalyzing) {
  struct Case {
    const char* name;
    int count;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"still scanning", 0, "ShortCuts - Analyzing..."},
      {"one problem", 1, "ShortCuts  (1 problems found)"},
      {"many", 12, "ShortCuts  (12 problems found)"},
      {"a negative count counts as scanning", -1, "ShortCuts - Analyzing..."},
  };
  const int u = list_.UnitHeight();
  ProblemNode* section = AddSection("ShortCuts");
  ProblemNode* other = AddSection("Other");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    section->data.ProblemCount = c.count;
    for (ProblemNode* selected : {other, section}) {
      list_.Select(selected);
      const RowLayout layout = list_.Layout(*section, {30, 0, 330, u});
      EXPECT_EQ(layout.imageIndex, 7);
      EXPECT_EQ(layout.imageLeft, 34) << "content left + text margin";
      EXPECT_EQ(layout.imageTop, 2);
      ASSERT_EQ(layout.texts.size(), 1u);
      EXPECT_EQ(layout.texts[0].text, c.text);
      EXPECT_TRUE(layout.texts[0].bold);
      EXPECT_EQ(layout.texts[0].rect, (Rect{54, 0, 325, u}));
      EXPECT_EQ(layout.texts[0].color, selected == section ? TextColor::HighlightText : TextColor::WindowText);
    }
  }
}

TEST_F(ListTest, ProblemRowDrawsLocationReasonAndCorrectionWhenSelected) {
  struct Case {
    const char* name;
    int kind;
    std::string keyPath;
    std::string line1;
  };
  const std::vector<Case> cases = {
      {"key", kKindDeleteKey, "\\Software\\Gone", "Section: HKEY_LOCAL_MACHINE\\Software\\Gone"},
      {"value", kKindDeleteValue, "\\Software\\Run", "Section: HKEY_LOCAL_MACHINE\\Software\\Run"},
      {"shortcut shows its file alone", kKindDeleteFile, "C:\\Links\\Old.lnk", "Section: C:\\Links\\Old.lnk"},
  };
  const int u = list_.UnitHeight();
  const int step = 20;  // Round(0.9 x 22)
  ProblemNode* section = AddSection("S");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProblemNode* row = AddProblem(section, c.kind, c.keyPath, "Name");

    list_.Select(section);
    RowLayout layout = list_.Layout(*row, {40, 0, 340, 2 * u});
    ASSERT_EQ(layout.texts.size(), 2u) << "no correction line unless selected";
    EXPECT_EQ(layout.imageIndex, -1);
    EXPECT_EQ(layout.texts[0].text, c.line1);
    EXPECT_EQ(layout.texts[0].rect, (Rect{44, 0, 335, u}));
    EXPECT_EQ(layout.texts[0].color, TextColor::WindowText);
    EXPECT_EQ(layout.texts[1].text, "Reason for " + c.keyPath);
    EXPECT_EQ(layout.texts[1].rect, (Rect{44, step, 335, 2 * step}));
    EXPECT_EQ(layout.texts[1].color, TextColor::Grey);
    EXPECT_EQ(list_.TextLeft(), 44);

    list_.Select(row);
    layout = list_.Layout(*row, {40, 0, 340, 3 * u});
    ASSERT_EQ(layout.texts.size(), 3u);
    for (const auto& text : layout.texts) EXPECT_EQ(text.color, TextColor::HighlightText) << text.text;
    EXPECT_FALSE(layout.texts[0].bold);
    EXPECT_EQ(layout.texts[2].text, "Correction: ");
    EXPECT_EQ(layout.texts[2].rect, (Rect{44, 3 * u - 1 - ProblemList::kComboHeight, 335, 3 * u - 1}));
  }
}

TEST(ProblemRowLayout, ReasonLineStartsAtNinetenthsOfAUnitHalvesToEven) {
  struct Case {
    const char* name;
    int textHeight;
    int unit;
    int step;
  };
  const std::vector<Case> cases = {
      {"Tahoma 11 pixels", 13, 22, 20},  // 19.8
      {"half to even, down", 3, 5, 4},   // 4.5
      {"half to even, down again", 38, 65, 58},  // 58.5
      {"half to even, up", 9, 15, 14},   // 13.5
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeCanvas canvas(c.textHeight);
    ProblemList list(canvas);
    ASSERT_EQ(list.UnitHeight(), c.unit);
    ProblemNode* section = list.Tree().Add(nullptr, {}, found::CheckState::Checked);
    cleaner::TRegData d;
    d.Kind = kKindDeleteKey;
    ProblemNode* row = list.Tree().Add(section, d, found::CheckState::Checked);
    const RowLayout layout = list.Layout(*row, {0, 10, 300, 10 + 2 * c.unit});
    ASSERT_GE(layout.texts.size(), 2u);
    EXPECT_EQ(layout.texts[1].rect.top, 10 + c.step);
    EXPECT_EQ(layout.texts[1].rect.bottom, 10 + 2 * c.step);
  }
}

TEST_F(ListTest, RowsAreStackedBelowExpandedSectionsAndHitByPosition) {
  const int u = list_.UnitHeight();
  ProblemNode* a = AddSectionWith("A", 2);
  ProblemNode* b = AddSectionWith("B", 1);
  ProblemNode* a1 = a->children[1].get();
  ProblemNode* b0 = b->children[0].get();

  EXPECT_EQ(list_.VisibleRows(), (std::vector<ProblemNode*>{a, b})) << "sections start collapsed";
  EXPECT_EQ(list_.DisplayRect(*a1), Rect{}) << "a hidden row has no rectangle";

  list_.Select(b);  // focusing a section expands it
  EXPECT_TRUE(b->expanded);
  list_.ToggleExpansion(a);
  list_.Select(a1);
  EXPECT_EQ(list_.VisibleRows(), (std::vector<ProblemNode*>{a, a->children[0].get(), a1, b, b0}));

  struct Case {
    const char* name;
    cleaner::ScrollPos scroll;
    ProblemNode* row;
    Rect rect;
  };
  const int w = ProblemList::kInitialColumnWidth;
  const std::vector<Case> cases = {
      {"first row", {0, 0}, a, {0, 0, w, u}},
      {"expanded row", {0, 0}, a1, {0, 3 * u, w, 6 * u}},
      {"after it", {0, 0}, b0, {0, 7 * u, w, 9 * u}},
      {"scrolled down and right", {25, 2 * u}, a1, {-25, u, w - 25, 4 * u}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    list_.Scroll(c.scroll);
    EXPECT_EQ(list_.DisplayRect(*c.row), c.rect);
    EXPECT_EQ(list_.RowAt(c.rect.top), c.row);
    EXPECT_EQ(list_.RowAt(c.rect.bottom - 1), c.row);
  }
  list_.Scroll({0, 0});
  EXPECT_EQ(list_.RowAt(9 * u), nullptr) << "below the last row";
  EXPECT_EQ(list_.RowAt(-1), nullptr);

  list_.ToggleExpansion(a1);  // a double-click on a problem row changes nothing
  EXPECT_EQ(list_.VisibleRows().size(), 5u);
  list_.ToggleExpansion(a);
  EXPECT_EQ(list_.VisibleRows(), (std::vector<ProblemNode*>{a, b, b0}));
}

TEST_F(ListTest, FloatingControlsFollowTheSelectedProblemRow) {
  const int u = list_.UnitHeight();
  const int gap = FakeCanvas::kCharWidth * static_cast<int>(std::string("Correction:    ").size());
  ProblemNode* a = AddSectionWith("A", 2);
  ProblemNode* a1 = a->children[1].get();
  list_.Select(a);
  list_.Layout(*a1, {36, 0, 300, 2 * u});  // sets TextLeft to 40
  ASSERT_EQ(list_.TextLeft(), 40);

  struct Case {
    const char* name;
    cleaner::ScrollPos scroll;
    int left, top;  // of cbofix
  };
  // a1 below a (1 unit) and a0 (2 units), 3 units high while selected.
  const int bottom = u + 2 * u + 3 * u;
  const std::vector<Case> cases = {
      {"unscrolled", {0, 0}, 40 + gap, bottom - 23},
      {"scrolled down", {0, 30}, 40 + gap, bottom - 30 - 23},
      {"scrolled right", {17, 0}, 40 + gap - 17, bottom - 23},
      {"row scrolled above the list", {0, bottom + 100}, 40 + gap, -100 - 23},
  };
  list_.Select(a1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    list_.Scroll(c.scroll);
    const auto& f = list_.Controls();
    EXPECT_EQ(f.comboLeft, c.left);
    EXPECT_EQ(f.comboTop, c.top);
    EXPECT_EQ(f.buttonLeft, c.left + ProblemList::kComboWidth + 10);
    EXPECT_EQ(f.buttonTop, c.top);
  }
}

TEST_F(ListTest, FloatingControlsParkWithoutASelectedProblemRow) {
  ProblemNode* a = AddSectionWith("A", 1);
  ProblemNode* a0 = a->children[0].get();
  const auto parked = [&] {
    return list_.Controls().comboLeft == ProblemList::kParkedLeft &&
           list_.Controls().buttonLeft == ProblemList::kParkedLeft;
  };
  EXPECT_TRUE(parked()) << "at creation";

  list_.Select(a0);
  EXPECT_FALSE(parked());
  list_.Select(a);
  EXPECT_TRUE(parked()) << "a section row";

  list_.Select(a0);
  list_.Select(nullptr);
  EXPECT_FALSE(parked()) << "the selection change handler ignores an empty selection";
  list_.Scroll({0, 0});
  EXPECT_TRUE(parked()) << "until the list next places them";

  list_.Select(a0);
  list_.ClearForScan();
  EXPECT_TRUE(parked()) << "a new scan";
  EXPECT_EQ(list_.ExpandedRow(), nullptr);
  EXPECT_EQ(list_.Selected(), nullptr);
  EXPECT_FALSE(list_.HasRows());
}

TEST_F(ListTest, CollapsingTheSectionOfTheSelectedRowMovesTheControlsOutOfSight) {
  ProblemNode* a = AddSectionWith("A", 1);
  list_.Select(a);
  list_.Select(a->children[0].get());
  list_.Layout(*a->children[0], {36, 0, 300, 44});
  ASSERT_GT(list_.Controls().comboTop, 0);
  list_.ToggleExpansion(a);
  ASSERT_FALSE(a->expanded);
  // The hidden row has an empty rectangle: the box ends just above the list.
  EXPECT_EQ(list_.Controls().comboTop + ProblemList::kComboHeight, -1);
  EXPECT_EQ(list_.Controls().buttonTop, list_.Controls().comboTop);
}

TEST_F(ListTest, ColumnWidensToTheListButNeverNarrows) {
  struct Step {
    const char* name;
    int listWidth;
    int column;
  };
  const std::vector<Step> steps = {
      {"narrower list", 250, ProblemList::kInitialColumnWidth},
      {"wider list", 420, 420},
      {"narrower again", 350, 420},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    list_.Resize(step.listWidth);
    EXPECT_EQ(list_.FirstColumnWidth(), step.column);
  }
}

}  // namespace
}  // namespace apptest
