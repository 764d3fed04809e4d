// Ticks, corrections, the summary, the end of a repair and what
// "Open in Regedit" opens.
#include <string>
#include <vector>

#include "list_fixture.h"

namespace apptest {
namespace {

using cleaner::kKindDeleteFile;
using cleaner::kKindDeleteKey;
using cleaner::kKindDeleteValue;
using cleaner::OpenTarget;
using cleaner::ProblemNode;
using found::CheckState;

constexpr auto C = CheckState::Checked;
constexpr auto U = CheckState::Unchecked;
constexpr auto M = CheckState::Mixed;

TEST_F(ListTest, ToggledProblemSwitchesItsCorrectionBothWays) {
  struct Case {
    const char* name;
    int kind;
    std::vector<std::string> items;
    std::string caption, hint;
  };
  const std::vector<Case> cases = {
      {"registry entry", kKindDeleteValue, {"Delete this entry", "Leave this entry without change"},
       "Open in Regedit", "Open this entry in Regedit"},
      {"shortcut", kKindDeleteFile, {"Delete this shortcut", "Leave this shortcut without change"}, "Properties",
       "Open this shortcut properties"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    list_.ClearForScan();
    ProblemNode* section = AddSection("S");
    ProblemNode* row = AddProblem(section, c.kind, "C:\\x\\y.lnk");
    ProblemNode* other = AddProblem(section, c.kind, "C:\\x\\z.lnk");
    list_.Select(row);
    EXPECT_EQ(list_.Controls().items, c.items);
    EXPECT_EQ(list_.Controls().buttonCaption, c.caption);
    EXPECT_EQ(list_.Controls().buttonHint, c.hint);
    EXPECT_EQ(list_.Controls().itemIndex, 0);

    list_.ClickCheck(row);
    EXPECT_EQ(row->check, U);
    EXPECT_EQ(row->data.Correction, 2);
    EXPECT_EQ(list_.Controls().itemIndex, 1) << "the box shows the new correction";
    EXPECT_EQ(section->check, M);
    EXPECT_EQ(other->data.Correction, 1) << "only the toggled row";
    EXPECT_EQ(list_.CurrentSummary().selected, 1);

    list_.ClickCheck(row);
    EXPECT_EQ(row->check, C);
    EXPECT_EQ(row->data.Correction, 1);
    EXPECT_EQ(list_.Controls().itemIndex, 0);
    EXPECT_EQ(section->check, C);
    EXPECT_EQ(list_.CurrentSummary().selected, 2);
  }
}

TEST_F(ListTest, ToggledSectionCarriesTicksAndCorrectionsToItsProblemsOnly) {
  ProblemNode* a = AddSectionWith("A", 3);
  ProblemNode* b = AddSectionWith("B", 1);
  list_.Select(a->children[1].get());

  list_.ClickCheck(a);
  EXPECT_EQ(a->check, U);
  for (const auto& p : a->children) {
    EXPECT_EQ(p->check, U);
    EXPECT_EQ(p->data.Correction, 2);
  }
  EXPECT_EQ(b->check, C);
  EXPECT_EQ(b->children[0]->data.Correction, 1);
  EXPECT_EQ(list_.Controls().itemIndex, 1);
  EXPECT_EQ(list_.CurrentSummary().selectedText, "1 problem selected for repairing");

  // A mixed section becomes ticked as a whole.
  list_.ClickCheck(a->children[0].get());
  ASSERT_EQ(a->check, M);
  list_.ClickCheck(a);
  EXPECT_EQ(a->check, C);
  for (const auto& p : a->children) {
    EXPECT_EQ(p->check, C);
    EXPECT_EQ(p->data.Correction, 1);
  }
  EXPECT_EQ(list_.CurrentSummary().selected, 4);
}

TEST_F(ListTest, ToggleOfAnotherRowKeepsTheSelectionAndItsExpandedRow) {
  ProblemNode* a = AddSectionWith("A", 2);
  ProblemNode* selected = a->children[0].get();
  ProblemNode* clicked = a->children[1].get();
  list_.Select(selected);
  list_.ClickCheck(clicked);
  EXPECT_EQ(list_.Selected(), selected);
  EXPECT_EQ(list_.ExpandedRow(), selected);
  EXPECT_EQ(list_.Controls().itemIndex, 0) << "the selected row's correction";
  EXPECT_EQ(clicked->data.Correction, 2);
  EXPECT_EQ(list_.RowHeight(*clicked), 2 * list_.UnitHeight());
}

TEST_F(ListTest, PickedCorrectionSetsTheBoxAndTheSectionFollows) {
  ProblemNode* a = AddSectionWith("A", 2);
  ProblemNode* first = a->children[0].get();
  ProblemNode* second = a->children[1].get();
  list_.Select(first);

  struct Step {
    const char* name;
    ProblemNode* select;
    int item;
    std::vector<int> corrections;
    std::vector<CheckState> checks;  // first, second, section
    int selectedCount;
  };
  const std::vector<Step> steps = {
      {"leave one of two unchanged", first, 1, {2, 1}, {U, C, M}, 1},
      {"leave the other too", second, 1, {2, 2}, {U, U, U}, 0},
      {"delete it again", second, 0, {2, 1}, {U, C, M}, 1},
      {"picking the same item again", second, 0, {2, 1}, {U, C, M}, 1},
      {"back to delete everything", first, 0, {1, 1}, {C, C, C}, 2},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    list_.Select(step.select);
    list_.PickCorrection(step.item);
    EXPECT_EQ(first->data.Correction, step.corrections[0]);
    EXPECT_EQ(second->data.Correction, step.corrections[1]);
    EXPECT_EQ(first->check, step.checks[0]);
    EXPECT_EQ(second->check, step.checks[1]);
    EXPECT_EQ(a->check, step.checks[2]);
    EXPECT_EQ(list_.Controls().itemIndex, step.item);
    EXPECT_EQ(list_.CurrentSummary().selected, step.selectedCount);
    EXPECT_NE(list_.Controls().comboLeft, cleaner::ProblemList::kParkedLeft);
  }
}

TEST_F(ListTest, PickedCorrectionWithoutASelectedProblemDoesNothing) {
  ProblemNode* a = AddSectionWith("A", 1);
  ProblemNode* row = a->children[0].get();
  for (ProblemNode* selected : {static_cast<ProblemNode*>(nullptr), a}) {
    SCOPED_TRACE(selected ? "section row" : "no row");
    list_.Select(selected);
    list_.PickCorrection(1);
    EXPECT_EQ(row->check, C);
    EXPECT_EQ(row->data.Correction, 1);
    EXPECT_EQ(a->data.Correction, 1);
    EXPECT_EQ(a->check, C);
  }
}

TEST_F(ListTest, SummaryCountsFoundAndTickedProblems) {
  struct Case {
    const char* name;
    int problemsA, problemsB;
    int cleared;  // of A's problems, from the first
    std::string found, selected;
  };
  const std::vector<Case> cases = {
      {"empty list", 0, 0, 0, "No problems found", "No problems selected for repairing"},
      {"one ticked", 1, 0, 0, "1 problem found", "1 problem selected for repairing"},
      {"one cleared", 1, 0, 1, "1 problem found", "No problems selected for repairing"},
      {"over two sections", 2, 1, 1, "3 problems found", "2 problems selected for repairing"},
      {"two digits", 7, 5, 0, "12 problems found", "12 problems selected for repairing"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    list_.ClearForScan();
    if (c.problemsA) {
      ProblemNode* a = AddSectionWith("A", c.problemsA);
      for (int i = 0; i < c.cleared; ++i) list_.ClickCheck(a->children[i].get());
    }
    if (c.problemsB) AddSectionWith("B", c.problemsB);
    AddSection("Still scanning");  // a header without problems counts nothing

    RecordingDialog dialog;
    const cleaner::Summary& s = list_.UpdateSummary(&dialog);
    EXPECT_EQ(s.foundText, c.found);
    EXPECT_EQ(s.selectedText, c.selected);
    EXPECT_EQ(s.label, "Summary of found problems:  (" + c.found + "," + c.selected + ")");
    EXPECT_EQ(dialog.calls, (std::vector<FinishedCall>{{c.found + "," + c.selected + ".", c.problemsA + c.problemsB}}));
    EXPECT_EQ(list_.CurrentSummary().label, s.label);
  }
}

TEST_F(ListTest, SummaryReachesNoDialogWhenNoneIsShownAndStartsAtTheInitialLabel) {
  EXPECT_EQ(list_.CurrentSummary().label, "Summary of found problems:");
  EXPECT_EQ(list_.CurrentSummary().foundText, "");
  AddSectionWith("A", 2);
  EXPECT_EQ(list_.UpdateSummary(nullptr).found, 2);
}

class RepairTest : public ListTest {
 protected:
  void SetUp() override { Build(); }
  // A: a0 repaired, a1 cleared, a2 ticked. B: both repaired. C: c0 cleared.
  void Build() {
    list_.ClearForScan();
    a_ = AddSectionWith("A", 3);
    b_ = AddSectionWith("B", 2);
    c_ = AddSectionWith("C", 1);
    list_.ClickCheck(a_->children[1].get());
    list_.ClickCheck(c_->children[0].get());
    a_->children[0]->data.Repaired = true;
    for (const auto& p : b_->children) p->data.Repaired = true;
    a1_ = a_->children[1].get();
    a2_ = a_->children[2].get();
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (const auto& s : list_.Tree().Roots()) out.push_back(s->data.Caption);
    return out;
  }
  ProblemNode *a_ = nullptr, *b_ = nullptr, *c_ = nullptr, *a1_ = nullptr, *a2_ = nullptr;
};

TEST_F(RepairTest, RemovesRepairedRowsAndEmptiedSectionsAndRecounts) {
  list_.Select(a2_);
  RecordingDialog dialog;
  const cleaner::Summary& s = list_.RepairFinished(&dialog);

  EXPECT_EQ(Captions(), (std::vector<std::string>{"A", "C"}));
  ASSERT_EQ(a_->children.size(), 2u);
  EXPECT_EQ(a_->children[0].get(), a1_);
  EXPECT_EQ(a_->data.ProblemCount, 2);
  EXPECT_EQ(a_->check, M) << "one cleared and one ticked problem left";
  EXPECT_EQ(c_->data.ProblemCount, 1);
  EXPECT_EQ(c_->check, U);
  EXPECT_EQ(list_.Tree().TotalCount(), 5u);

  EXPECT_EQ(s.foundText, "3 problems found");
  EXPECT_EQ(s.selectedText, "1 problem selected for repairing");
  EXPECT_EQ(dialog.calls, (std::vector<FinishedCall>{{"3 problems found,1 problem selected for repairing.", 3},
                                                     {cleaner::kRepairedText, 0}}));
  EXPECT_EQ(list_.ExpandedRow(), a2_) << "a surviving row stays expanded";
  EXPECT_EQ(list_.Controls().comboTop, list_.DisplayRect(*a2_).bottom - 23) << "placed over its new position";
}

TEST_F(RepairTest, ForgetsRemovedExpandedAndSelectedRows) {
  struct Case {
    const char* name;
    bool selectRepairedProblem;  // else the section row of B
  };
  for (const Case& c : {Case{"repaired problem row", true}, Case{"removed section row", false}}) {
    SCOPED_TRACE(c.name);
    Build();
    list_.Select(c.selectRepairedProblem ? b_->children[1].get() : b_);
    list_.RepairFinished(nullptr);
    EXPECT_EQ(list_.ExpandedRow(), nullptr);
    EXPECT_EQ(list_.Selected(), nullptr);
    EXPECT_EQ(list_.Controls().comboLeft, cleaner::ProblemList::kParkedLeft);
  }
}

TEST_F(ListTest, RepairDropsHeadersWithoutProblemsAndMendsSectionBoxes) {
  ProblemNode* a = AddSectionWith("A", 2);
  AddSection("Stopped while scanning");  // a header that never got problem rows
  // Boxes set out of step with their problems, as only the recount mends them.
  a->check = U;
  a->data.ProblemCount = 9;
  RecordingDialog dialog;
  list_.RepairFinished(&dialog);
  ASSERT_EQ(list_.Tree().Roots().size(), 1u);
  EXPECT_EQ(list_.Tree().Roots()[0].get(), a);
  EXPECT_EQ(a->check, C);
  EXPECT_EQ(a->data.ProblemCount, 2);
  ASSERT_EQ(dialog.calls.size(), 2u);
  EXPECT_EQ(dialog.calls[1], (FinishedCall{"Your selected problems have been successfully repaired.", 0}));
}

TEST_F(ListTest, OpenTargetFollowsTheKindOfTheSelectedRow) {
  ProblemNode* section = AddSection("S", found::kHkeyCurrentUser);
  struct Case {
    const char* name;
    int kind;
    std::string keyPath, valueName;
    OpenTarget::Kind target;
    std::string path, jumpValue;
  };
  const std::vector<Case> cases = {
      {"key", kKindDeleteKey, "\\Software\\Gone", "", OpenTarget::Kind::RegistryKey,
       "HKEY_LOCAL_MACHINE\\Software\\Gone", ""},
      {"named value", kKindDeleteValue, "\\Software\\Run", "Tool", OpenTarget::Kind::RegistryKey,
       "HKEY_LOCAL_MACHINE\\Software\\Run", "Tool"},
      {"default value", kKindDeleteValue, "\\Software\\Run", "", OpenTarget::Kind::RegistryKey,
       "HKEY_LOCAL_MACHINE\\Software\\Run", "(Default)"},
      {"shortcut", kKindDeleteFile, "C:\\Links\\Old.lnk", "", OpenTarget::Kind::FileProperties,
       "C:\\Links\\Old.lnk", ""},
      {"shortcut without a folder", kKindDeleteFile, "Old.lnk", "", OpenTarget::Kind::None, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProblemNode* row = AddProblem(section, c.kind, c.keyPath, c.valueName);
    list_.Select(row);
    const OpenTarget t = list_.SelectedTarget();
    EXPECT_EQ(t.kind, c.target);
    EXPECT_EQ(t.path, c.path);
    EXPECT_EQ(t.valueName, c.jumpValue);
  }

  // A section row names a bare root, which the registry jump rejects.
  list_.Select(section);
  const OpenTarget header = list_.SelectedTarget();
  EXPECT_EQ(header.kind, OpenTarget::Kind::RegistryKey);
  EXPECT_EQ(header.path, "HKEY_CURRENT_USER");
  list_.Select(nullptr);
  EXPECT_EQ(list_.SelectedTarget().kind, OpenTarget::Kind::None);
}

}  // namespace
}  // namespace apptest
