// The Send To folder rule over any Windows directory, user name and family, with a user name
// that may not be readable: the folder is one of the two fixed patterns, ends with a backslash
// and fits the caller's buffer, or the result is 0 with an empty text. The system is asked with
// the rooms the rule gives (260 for the directory, 256 for the user name).
#include "fakes/fake_system.h"
#include "fuzz/fuzz_support.h"
#include "pages/sendto/sendto_folder.h"

namespace kb_fuzz {

int SendToFolderTarget(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  const uint8_t flags = in.U8();
  // Families 0 to 6 mostly, anything now and then.
  const int family = (flags & 0x80) ? static_cast<int>(in.U32()) : (flags & 0x07);
  const size_t buffer = (flags & 0x08) ? 256 : 260;
  FakeSystem system;
  system.userNameOk = !(flags & 0x10);
  // Lengths up to 300 and beyond: a repeat byte doubles a short text.
  auto longText = [&](size_t cap) {
    std::string t = in.Text(cap);
    const uint8_t times = in.U8() % 4;
    for (uint8_t i = 0; i < times; ++i) t += t;
    return t;
  };
  system.windowsDir = longText(200);
  system.userName = longText(200);

  std::string out = "\xBD sentinel";
  const int result = GetSendToFolder(system, out, family, buffer);
  KB_FUZZ_CHECK(result == 0 || result == 1, std::to_string(result));
  KB_FUZZ_CHECK(system.windowsDirSizes == std::vector<unsigned>({260}), "the Windows directory is asked once, room 260");

  // What the system handed out: nothing when it did not fit.
  const std::string windows = system.windowsDir.size() < 260 ? system.windowsDir : std::string();
  std::string expected;
  bool composed = true;
  if (family == 2) {
    KB_FUZZ_CHECK(system.userNameSizes.empty(), "the 9x side never asks for the user");
    expected = windows + "\\SendTo\\";
  } else {
    KB_FUZZ_CHECK(system.userNameSizes == std::vector<unsigned>({256}), "the user name is asked once, room 256");
    if (!system.userNameOk || system.userName.size() >= 256) {
      composed = false;
    } else {
      const char drive = windows.size() >= 2 && windows[1] == ':' ? windows[0] : '\\';
      expected = std::string(1, drive) + ":\\Documents and Settings\\" + system.userName + "\\SendTo\\";
    }
  }

  if (result == 1) {
    KB_FUZZ_CHECK(composed && out == expected, Printable(out) + " expected " + Printable(expected));
    KB_FUZZ_CHECK(out.size() < buffer && out.back() == '\\', Printable(out));
  } else {
    KB_FUZZ_CHECK(out.empty(), "a failure leaves the text empty: " + Printable(out));
    // Only an unreadable user name, or a folder that would not fit, fails.
    KB_FUZZ_CHECK(!composed || expected.size() >= buffer, "failed for " + Printable(expected));
  }
  return 0;
}

}  // namespace kb_fuzz

KB_FUZZ_ENTRY(SendToFolderTarget)
