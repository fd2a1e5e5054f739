#include "app/change_detection.h"

#include "app/tfrm_main.h"

int32_t ComputeChecksum(const char* text, size_t length) {
  uint32_t sum = 0;
  for (size_t i = 0; i < length; ++i) {
    int32_t byte = static_cast<signed char>(text[i]);
    // Unsigned arithmetic gives the wrap-around of a 32-bit signed product without overflow.
    sum ^= static_cast<uint32_t>(byte) * static_cast<uint32_t>(i + 1);
  }
  return static_cast<int32_t>(sum);
}

std::vector<const TextControl*> TfrmMain::SettingsFields() const {
  return {&txtComputerName, &txtUserName,   &txtCompanyName,     &txtWinInstpath, &txtProgramFiles,
          &txtWallpaperDir, &txtDevicePath, &txtCommonFilesPath, &txtBootFrom};
}

std::string TfrmMain::BuildSettingsText() const {
  std::string text;
  for (const TextControl* field : SettingsFields()) text += field->GetText();
  return text;
}

void TfrmMain::TakeSettingsSnapshot() {
  SettingsChecksum = ComputeChecksum(BuildSettingsText());
  KeepSettingsTexts();
}

void TfrmMain::KeepSettingsTexts() {
  SettingsSnapshotTexts.clear();
  for (const TextControl* field : SettingsFields()) SettingsSnapshotTexts.push_back(field->GetText());
}

// The texts decide, not the checksum: equal texts always sum alike, but different texts can too
// (ab and cc), and a creation that stopped early leaves the checksum at 0 although the user has
// changed nothing, where a Yes would write the fields it never filled over the stored values.
bool TfrmMain::SettingsChanged() const {
  std::vector<const TextControl*> fields = SettingsFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    const std::string snapshot = i < SettingsSnapshotTexts.size() ? SettingsSnapshotTexts[i] : std::string();
    if (fields[i]->GetText() != snapshot) return true;
  }
  return false;
}

void TfrmMain::MarkSettingLoaded(const TextControl& field) {
  std::vector<const TextControl*> fields = SettingsFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i] == &field) SettingsLoaded[i] = true;
  }
}

bool TfrmMain::SettingToWrite(const TextControl& field) {
  std::vector<const TextControl*> fields = SettingsFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i] != &field) continue;
    // A field the user has edited stands for its setting from then on, also once a save has
    // made its text the new reference.
    if (!SettingsLoaded[i]) SettingsLoaded[i] = i >= SettingsSnapshotTexts.size() || field.GetText() != SettingsSnapshotTexts[i];
    return SettingsLoaded[i];
  }
  return true;
}
