#include "cleaner/scan/threadscan.h"

#include <chrono>
#include <cmath>

namespace cleaner {

TScan::TScan(found::GuiDispatcher& gui, ScanListHost& list, ScanDialogHost* dialog)
    : TThread(gui), list_(list), Dialog(dialog) {
  Start();
}

TScan::~TScan() = default;

int TScan::Position(double value) { return static_cast<int>(std::nearbyint(value)); }

std::optional<std::string> TScan::ReadText(found::TRegistry& reg, const std::string& name) {
  // One read: the type and the text come from the same query.
  found::RegValue value;
  if (reg.ReadRaw(name, value) != found::QueryStatus::Ok) return std::string();
  if (value.type != found::kRegSz && value.type != found::kRegExpandSz) return std::nullopt;
  return found::DecodeRegText(value.data);
}

std::vector<std::string> TScan::SubKeysOf(found::TRegistry& reg, const std::string& keyPath) {
  std::vector<std::string> names;
  if (reg.OpenKey(keyPath, false)) {
    reg.GetKeyNames(names);
    reg.CloseKey();
  }
  return names;
}

void TScan::CheckValueList(
    std::uint32_t rootKey, const std::string& keyPath, int part,
    const std::function<void(const std::string& name, const std::optional<std::string>& text)>& judge) {
  found::TRegistry registry;
  registry.SetRootKey(rootKey);
  if (!registry.OpenKey(keyPath, false)) return;
  std::vector<std::string> names;
  registry.GetValueNames(names);
  const size_t n = names.size();
  for (size_t i = 0; i < n; ++i) {
    if (Terminated()) break;
    const auto text = ReadText(registry, names[i]);
    ReportProgress(Position(50.0 * (i + 1) / n + 50 * part), keyPath.substr(1) + "\\" + names[i]);
    judge(names[i], text);
  }
  registry.CloseKey();
}

void TScan::Execute() {
  // A registry object belongs to the thread that uses it.
  Registry = std::make_unique<found::TRegistry>();
  Synchronize([this] { list_.Problems().Clear(); });

  SelectedCount = 0;
  selection_.clear();
  std::vector<SectionTreeItem> items;
  Synchronize([&] { items = list_.SectionItems(); });
  for (const auto& item : items) {
    if (item.hasChildren || !item.checked) continue;
    selection_ += "." + std::to_string(item.id) + ".";
    ++SelectedCount;
  }
  Dispatch();
}

void TScan::Dispatch() {
  int ordinal = 0;
  for (const auto& section : kSections) {
    if (selection_.find("." + std::to_string(section.id) + ".") == std::string::npos) continue;
    if (ordinal > 0 && Terminated()) return;
    ++ordinal;
    AnnounceSection(ordinal, section.announced);
    RunSection(section);
  }
}

void TScan::RunSection(const SectionInfo& section) {
  switch (section.id) {
    case 1: ScanRegistryIntegrity(); break;
    case 21: ScanFilesAndFolders(found::kHkeyLocalMachine); break;
    case 22: ScanFilesAndFolders(found::kHkeyCurrentUser); break;
    case 23: ScanFilesAndFolders(found::kHkeyUsers); break;
    case 100: ScanSpywareAndVirus(); break;
    case 3: ScanObsoleteSoftware(); break;
    case 4: ScanCustomControls(); break;
    case 5: ScanFileExtensions(); break;
    case 6: ScanFileAssociations(); break;
    case 7: ScanStartMenu(); break;
    case 8: ScanStartupPrograms(); break;
    case 9: ScanSharedPrograms(); break;
    case 10: ScanSoftwareLocations(); break;
    case 11: ScanAddRemovePrograms(); break;
    case 12: ScanWindowsFonts(); break;
    case 13: ScanHelpAndResources(); break;
    case 14: ScanSoundsAndAppevents(); break;
    case 15: ScanMruLists(); break;
    case 16: ScanDeviceDrivers(); break;
    case 17: ScanWindowsServices(); break;
    case 18: ScanVirtualDevices(); break;
    case 19: ScanShortCuts(); break;
    default: break;
  }
}

void TScan::PrepareRow(ProblemNode* parent, std::uint32_t rootKey, const std::string& caption, int imageIndex,
                       const std::string& keyPath, const std::string& valueName, const std::string& valueData,
                       const std::string& note, const std::string& reason, int correction, int kind) {
  CurrentHeader = parent;
  RootKey = rootKey;
  Caption = caption;
  ImageIndex = imageIndex;
  KeyPath = keyPath;
  ValueName = valueName;
  ValueData = valueData;
  Note = note;
  Reason = reason;
  Correction = correction;
  Kind = kind;
}

void TScan::AddRow() {
  const int wanted = std::max(list_.TextWidth(KeyPath), list_.TextWidth(Reason)) + 100;
  if (list_.FirstColumnWidth() < wanted) list_.SetFirstColumnWidth(wanted);
  TRegData data;
  data.KeyPath = KeyPath;
  data.ValueName = ValueName;
  data.ValueData = ValueData;
  data.RootKey = RootKey;
  data.Reason = Reason;
  data.Kind = Kind;
  data.Caption = Caption;
  data.ProblemCount = 0;
  data.ImageIndex = ImageIndex;
  data.Correction = Correction;
  data.Note = Note;
  ProblemNode* node = list_.Problems().Add(CurrentHeader, std::move(data), found::CheckState::Checked);
  if (!CurrentHeader) CurrentHeader = node;
}

void TScan::FinishSection() {
  if (!CurrentHeader) return;
  CurrentHeader->data.ProblemCount = static_cast<int>(CurrentHeader->children.size());
  if (CurrentHeader->data.ProblemCount == 0) {
    list_.Problems().Delete(CurrentHeader);
    CurrentHeader = nullptr;
  }
}

void TScan::AddHeaderRow(const SectionInfo& section) {
  PrepareRow(nullptr, section.headerRoot, section.headerCaption, section.headerImage, "", "", "", "", "", 1,
             kKindDeleteValue);
  Synchronize([this] { AddRow(); });
}

void TScan::AddHeaderRow(int sectionId) { AddHeaderRow(*FindSection(sectionId)); }

void TScan::AddProblem(std::uint32_t rootKey, const std::string& keyPath, const std::string& valueName,
                       const std::string& valueData, const std::string& reason, int kind) {
  PrepareRow(CurrentHeader, rootKey, "", -1, keyPath, valueName, valueData, "", reason, 1, kind);
  Synchronize([this] { AddRow(); });
}

void TScan::EndSection() {
  Synchronize([this] { FinishSection(); });
}

void TScan::AnnounceSection(int ordinal, const std::string& caption) {
  OverallPosition = Position(ordinal * 100.0 / SelectedCount);
  SectionName = caption;
  Synchronize([this] { ShowSection(); });
}

void TScan::ShowSection() {
  if (Terminated() || !Dialog) return;
  Dialog->SetKeyText("");
  Dialog->SetSectionText("Scaning " + SectionName + "...");
  Dialog->SetOverallPosition(OverallPosition);
}

void TScan::ReportProgress(int position, const std::string& keyText) {
  const int threshold = SectionName == "ShortCuts" ? 0 : 50;
  if (ProgressCounter >= threshold) {
    SectionPosition = position;
    KeyText = keyText;
    Synchronize([this] { ShowProgress(); });
    ProgressCounter = 0;
  }
  ++ProgressCounter;
}

void TScan::ShowProgress() {
  if (Terminated() || !Dialog) return;
  Dialog->SetKeyText(KeyText);
  Dialog->SetSectionPosition(SectionPosition);
}

bool TScan::IsKeyEmpty(std::uint32_t rootKey, const std::string& keyPath, bool recurse) {
  bool result = true;
  Registry->SetRootKey(rootKey);
  if (!Registry->OpenKey(keyPath, false)) return false;
  std::vector<std::string> names;
  Registry->GetValueNames(names);
  if (!names.empty()) {
    result = false;
  } else if (Registry->HasSubKeys()) {
    if (recurse) {
      std::vector<std::string> subkeys;
      Registry->GetKeyNames(subkeys);
      Registry->CloseKey();
      for (const auto& name : subkeys) {
        result = IsKeyEmpty(rootKey, keyPath + "\\" + name, true);
        if (!result) break;
      }
    } else {
      result = false;
    }
  }
  Registry->CloseKey();
  return result;
}

// "Adware and Spyware" and "Device Drivers" have no checks of their own.
void TScan::NoChecks(int sectionId) {
  AddHeaderRow(sectionId);
  for (int position = 1; position <= 101; ++position) {
    ReportProgress(position, "");
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EndSection();
}

void TScan::ScanSpywareAndVirus() { NoChecks(100); }

void TScan::ScanDeviceDrivers() { NoChecks(16); }

}  // namespace cleaner
