// The settings checksum over any bytes and lengths, against a second computation in 64-bit
// arithmetic reduced modulo 2^32, and the close-time change test over nine arbitrary field
// texts: equal texts never count as changed, a different checksum always does.
#include "app/change_detection.h"
#include "fakes/fake_controls.h"
#include "fuzz/fuzz_support.h"

namespace kb_fuzz {
namespace {

int32_t Reference(const std::string& text) {
  uint64_t sum = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const int64_t byte = static_cast<signed char>(text[i]);
    const int64_t product = byte * static_cast<int64_t>(i + 1);
    sum ^= static_cast<uint64_t>(product) & 0xFFFFFFFFu;
  }
  return static_cast<int32_t>(static_cast<uint32_t>(sum));
}

}  // namespace

int ChecksumTarget(const uint8_t* data, size_t size) {
  const std::string whole(reinterpret_cast<const char*>(data), size);
  const int32_t sum = ComputeChecksum(reinterpret_cast<const char*>(data), size);
  KB_FUZZ_CHECK(sum == Reference(whole), std::to_string(sum) + " against " + std::to_string(Reference(whole)));
  KB_FUZZ_CHECK(ComputeChecksum(whole) == sum, "the text overload disagrees");

  ByteReader in(data, size);
  const uint8_t flags = in.U8();
  FakeForm f;
  FakeText* fields[] = {&f.txtComputerName, &f.txtUserName,     &f.txtCompanyName,
                        &f.txtWinInstpath,  &f.txtProgramFiles, &f.txtWallpaperDir,
                        &f.txtDevicePath,   &f.txtCommonFilesPath, &f.txtBootFrom};
  std::string joined;
  for (FakeText* field : fields) {
    // Long fields (thousands of characters) when asked for, short ones otherwise.
    field->text = in.Bytes((flags & 1) ? in.U16() : in.U8());
    joined += field->text;
  }
  KB_FUZZ_CHECK(f->BuildSettingsText() == joined, "the settings text is the nine fields joined");
  f->TakeSettingsSnapshot();
  KB_FUZZ_CHECK(f->SettingsChecksum == Reference(joined), "the snapshot's checksum");
  KB_FUZZ_CHECK(!f->SettingsChanged(), "nothing edited, yet counted as changed");

  // One edit: a byte replaced, or one added or taken away at the end of a field.
  FakeText& edited = *fields[in.U8() % 9];
  const std::string before = edited.text;
  const uint8_t how = in.U8() % 3;
  const uint8_t byte = in.U8();
  if (how == 0 && !edited.text.empty()) {
    size_t at = in.U16() % edited.text.size();
    edited.text[at] = static_cast<char>(edited.text[at] == static_cast<char>(byte) ? byte ^ 0x01 : byte);
  } else if (how == 1 && !edited.text.empty()) {
    edited.text.pop_back();
  } else {
    edited.text += static_cast<char>(byte);
  }
  if (ComputeChecksum(f->BuildSettingsText()) != f->SettingsChecksum)
    KB_FUZZ_CHECK(f->SettingsChanged(), "a different checksum must ask to save");

  // Changing it back asks nothing.
  edited.text = before;
  KB_FUZZ_CHECK(!f->SettingsChanged(), "the edit was undone, yet counted as changed");
  return 0;
}

}  // namespace kb_fuzz

KB_FUZZ_ENTRY(ChecksumTarget)
