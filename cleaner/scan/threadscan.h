// TScan: the scan worker. It runs the scanner of every ticked section in the
// order of the section table, adds a header row per section and a row per
// problem to the problem list, and keeps the progress dialog up to date; all
// of it through GUI-thread steps, as the worker never touches a window.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cleaner/scan/regdata.h"
#include "cleaner/scan/scanhost.h"
#include "cleaner/scan/sections.h"
#include "foundation/registry.h"
#include "foundation/thread.h"

namespace cleaner {

class TScan : public found::TThread {
 public:
  // Starts at once. `dialog` is not owned; it is touched only while no stop
  // request is set, since a closed dialog may already be gone.
  TScan(found::GuiDispatcher& gui, ScanListHost& list, ScanDialogHost* dialog);
  ~TScan() override;

  // The selection text the scan ran with (".1..21." for sections 1 and 21).
  const std::string& SelectionText() const { return selection_; }

  // The pending row, then the GUI step that adds it (under CurrentHeader).
  void PrepareRow(ProblemNode* parent, std::uint32_t rootKey, const std::string& caption, int imageIndex,
                  const std::string& keyPath, const std::string& valueName, const std::string& valueData,
                  const std::string& note, const std::string& reason, int correction, int kind);
  void AddRow();
  void FinishSection();
  void AnnounceSection(int ordinal, const std::string& caption);
  void ShowSection();
  void ReportProgress(int position, const std::string& keyText);
  void ShowProgress();
  [[nodiscard]] bool IsKeyEmpty(std::uint32_t rootKey, const std::string& keyPath, bool recurse);

  // What the scanners call: header, problem rows and the section's end, each
  // through its GUI-thread step.
  void AddHeaderRow(const SectionInfo& section);
  void AddHeaderRow(int sectionId);
  void AddProblem(std::uint32_t rootKey, const std::string& keyPath, const std::string& valueName,
                  const std::string& valueData, const std::string& reason, int kind);
  void EndSection();

  // A percentage, rounded to the nearest integer, a half to the even neighbour.
  static int Position(double value);
  // The text of a value for a check: nullopt when the value holds neither
  // text nor expandable text (such a value is not judged); empty when missing.
  static std::optional<std::string> ReadText(found::TRegistry& reg, const std::string& name);
  // The subkey names of keyPath (none when it cannot be opened); leaves no key open.
  static std::vector<std::string> SubKeysOf(found::TRegistry& reg, const std::string& keyPath);

  // The scanners, one per section.
  void ScanRegistryIntegrity();
  void ScanFilesAndFolders(std::uint32_t rootKey);
  void ScanSpywareAndVirus();
  void ScanObsoleteSoftware();
  void ScanCustomControls();
  void ScanFileExtensions();
  void ScanFileAssociations();
  void ScanStartMenu();
  void ScanStartupPrograms();
  void ScanSharedPrograms();
  void ScanSoftwareLocations();
  void ScanAddRemovePrograms();
  void ScanWindowsFonts();
  void ScanHelpAndResources();
  void ScanSoundsAndAppevents();
  void ScanMruLists();
  void ScanDeviceDrivers();
  void ScanWindowsServices();
  void ScanVirtualDevices();
  void ScanShortCuts();

  // One of a section's two value lists: for each value of keyPath (while no
  // stop request is set) reads its text, reports the position
  // 50 x (i + 1) / n + 50 x part with the value's key text, then judges it.
  void CheckValueList(std::uint32_t rootKey, const std::string& keyPath, int part,
                      const std::function<void(const std::string& name, const std::optional<std::string>& text)>& judge);

  // Walks keyPath and every key below it for text values that name missing
  // files; shared by several scanners.
  void WalkKeyValues(found::TRegistry& registry, std::uint32_t rootKey, double fraction,
                     const std::vector<std::string>& exclusions, const std::string& keyPath);

 protected:
  void Execute() override;

 private:
  void Dispatch();
  void RunSection(const SectionInfo& section);
  void NoChecks(int sectionId);
  void CheckFolderValues(const std::string& keyPath, int part);
  void FindEmptyVendorKeys(std::uint32_t rootKey, int part);

  ScanListHost& list_;
  ScanDialogHost* Dialog;

  ProblemNode* CurrentHeader = nullptr;
  // The pending row.
  std::uint32_t RootKey = 0;
  std::string KeyPath, ValueName, ValueData, Reason, Caption, Note;
  int Correction = 1, Kind = 0, ImageIndex = -1;

  std::unique_ptr<found::TRegistry> Registry;  // IsKeyEmpty's, made on the worker
  std::string SectionName;
  std::string KeyText;
  int OverallPosition = 0;
  int SectionPosition = 0;
  int SelectedCount = 0;
  int ProgressCounter = 0;
  std::string selection_;
};

}  // namespace cleaner
