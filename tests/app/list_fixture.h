// A problem list on a fake canvas with fixed metrics, and helpers that add
// rows the way the scan worker does (every row ticked, counts set at the end).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaner/app/problemlist.h"
#include "foundation/platform.h"

namespace apptest {

// Every character is 6 pixels wide; "..." is `dotsHeight` high, anything
// else implausibly tall so a wrong measurement shows.
class FakeCanvas : public cleaner::ListCanvas {
 public:
  explicit FakeCanvas(int dotsHeight) : dotsHeight_(dotsHeight) {}
  static constexpr int kCharWidth = 6;
  int TextWidth(const std::string& text) override { return kCharWidth * static_cast<int>(text.size()); }
  int TextHeight(const std::string& text) override { return text == "..." ? dotsHeight_ : 999; }

 private:
  int dotsHeight_;
};

struct FinishedCall {
  std::string text;
  int count = 0;
  bool operator==(const FinishedCall&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const FinishedCall& c) {
  return os << "{\"" << c.text << "\", " << c.count << "}";
}

class RecordingDialog : public cleaner::FinishDialogHost {
 public:
  std::vector<FinishedCall> calls;
  void ShowFinished(const std::string& text, int problemCount) override { calls.push_back({text, problemCount}); }
};

class ListTest : public ::testing::Test {
 protected:
  static constexpr int kDotsHeight = 13;  // Tahoma at 11 pixels

  cleaner::ProblemNode* AddSection(const std::string& caption, std::uint32_t root = found::kHkeyCurrentUser) {
    cleaner::TRegData d;
    d.Caption = caption;
    d.RootKey = root;
    d.Kind = 2;
    d.ImageIndex = 7;
    return list_.Tree().Add(nullptr, d, found::CheckState::Checked);
  }

  cleaner::ProblemNode* AddProblem(cleaner::ProblemNode* section, int kind, const std::string& keyPath,
                                   const std::string& valueName = "") {
    cleaner::TRegData d;
    d.Kind = kind;
    d.KeyPath = keyPath;
    d.ValueName = valueName;
    d.RootKey = kind == cleaner::kKindDeleteFile ? 0 : found::kHkeyLocalMachine;
    d.Reason = "Reason for " + keyPath;
    cleaner::ProblemNode* node = list_.Tree().Add(section, d, found::CheckState::Checked);
    section->data.ProblemCount = static_cast<int>(section->children.size());
    return node;
  }

  // A section with `n` key problems \Software\<caption><i>.
  cleaner::ProblemNode* AddSectionWith(const std::string& caption, int n) {
    cleaner::ProblemNode* section = AddSection(caption);
    for (int i = 0; i < n; ++i) AddProblem(section, cleaner::kKindDeleteKey, "\\Software\\" + caption + std::to_string(i));
    return section;
  }

  FakeCanvas canvas_{kDotsHeight};
  cleaner::ProblemList list_{canvas_};
};

}  // namespace apptest
