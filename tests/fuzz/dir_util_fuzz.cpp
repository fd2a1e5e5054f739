// CDirUtil stepping through a folder of arbitrary entries (any name bytes a file system allows,
// any attribute bits, names near and past the buffers), with any attribute mask, stopped early
// or restarted, and the Send To listing built on it. Every call takes exactly one entry, in the
// file system's order; "." and "..", entries outside the mask and names too long for the
// buffer come back empty; the end leaves the name alone and closes the search; the two lists
// of the page stay in step and show every plain file.
#include <algorithm>

#include "fakes/fake_controls.h"
#include "fuzz/fuzz_support.h"
#include "pages/sendto/dir_util.h"
#include "pages/sendto/text_rules.h"

namespace kb_fuzz {
namespace {

uint32_t Attributes(ByteReader& in) {
  static const uint32_t kUsual[] = {0x20, 0x80, 0x01, 0x02 | 0x04 | 0x20, 0x10, 0x10 | 0x02, 0x10 | 0x20, 0x100, 0x21};
  const uint8_t pick = in.U8();
  return pick < 0xF0 ? kUsual[pick % 9] : in.U32();
}

struct Entry {
  std::string name;
  uint32_t attributes;
};

}  // namespace

int DirUtilTarget(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  const uint8_t flags = in.U8();
  const int family = (flags & 0x01) ? 2 : 5;
  const bool folderExists = !(flags & 0x02);
  const bool otherFolderText = flags & 0x04;
  const uint32_t mask = (flags & 0x08) ? in.U32() : 0xA7;
  const size_t stopAfter = (flags & 0x10) ? in.U8() : SIZE_MAX;

  FakeForm f;
  FakeSystem& system = f.system;
  system.windowsDir = "C:\\WINDOWS";
  system.userName = "Anna";
  const std::string folder = family == 2 ? "C:\\WINDOWS\\SendTo" : "C:\\Documents and Settings\\Anna\\SendTo";
  if (folderExists) system.AddFile(folder, 0x10);
  const size_t count = in.U8() % 16;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t attributes = Attributes(in);
    std::string name = in.Text(40);
    // A name holds neither separators nor zeros, and is never empty.
    std::replace(name.begin(), name.end(), '\\', '_');
    std::replace(name.begin(), name.end(), '\0', '_');
    for (uint8_t times = in.U8() % 4; times > 0 && name.size() < 300; --times) name += name;
    if (name.empty()) name = "x";
    system.AddFile(folder + "\\" + name, attributes);
  }

  // What the file system yields, in its order, as the reference.
  std::vector<Entry> yielded;
  {
    FindData d;
    SysHandle h = system.FindFirstFileA(folder + "\\*.*", d);
    if (h != kInvalidSysHandle) {
      do yielded.push_back({d.cFileName, d.dwFileAttributes});
      while (system.FindNextFileA(h, d));
      system.FindClose(h);
    }
  }

  const std::string folderText = otherFolderText ? in.Text(255) : folder + "\\";
  {
    CDirUtil dir(system);
    KB_FUZZ_CHECK(!dir.GetDir().has_value(), "a new object has no folder");
    dir.SetDir(folderText);
    KB_FUZZ_CHECK(dir.GetDir() == folderText, "the folder as stored");

    const bool reference = !otherFolderText;
    size_t calls = 0;
    for (;;) {
      if (calls == stopAfter) break;
      std::string name = "\xBD sentinel";
      const int r = dir.GetNextEntry("*.*", mask, name);
      KB_FUZZ_CHECK(r == 0 || r == 1, std::to_string(r));
      KB_FUZZ_CHECK(system.openSearches <= 1, "one search at a time");
      if (r == 0) {
        KB_FUZZ_CHECK(name == "\xBD sentinel", "the end must leave the name alone");
        KB_FUZZ_CHECK(system.openSearches == 0, "the ended search is closed");
        if (reference) KB_FUZZ_CHECK(calls == yielded.size(), "ended after " + std::to_string(calls));
        break;
      }
      KB_FUZZ_CHECK(calls < system.files.size() + 2, "more entries than the folder holds");
      if (reference) {
        const Entry& e = yielded[calls];
        std::string expected;
        if (e.name != "." && e.name != ".." && (e.attributes & mask))
          expected = e.name + ((e.attributes & 0x10) ? "\\" : "");
        // A name that would not fit the caller's buffer may come back empty, never cut.
        const bool fits = expected.size() < CDirUtil::kNameBuffer;
        KB_FUZZ_CHECK(name == expected || (!fits && name.empty()),
                      Printable(name) + " for " + Printable(e.name) + " attributes " + std::to_string(e.attributes));
      }
      KB_FUZZ_CHECK(name.size() < CDirUtil::kNameBuffer, "longer than the name buffer");
      ++calls;
    }
    // Starting again begins a new search, and the old one is let go.
    if (flags & 0x20) {
      dir.SetDir(folderText);
      KB_FUZZ_CHECK(system.openSearches == 0, "SetDir closes the search");
      std::string name;
      const int r = dir.GetNextEntry("*.*", mask, name);
      if (!otherFolderText) KB_FUZZ_CHECK(r == (yielded.empty() ? 0 : 1), "a restart starts from the first entry");
    }
  }
  KB_FUZZ_CHECK(system.openSearches == 0, "the object closes its search");

  // The listing: both lists in step, every plain file listed, in the folder's order.
  if (!otherFolderText) {
    f->OsFamily = family;
    f->FillSendToList();
    KB_FUZZ_CHECK(system.openSearches == 0, "the listing leaves no search open");
    const std::vector<std::string>& lines = f.lstSendTo.lines;
    const std::vector<std::string>& paths = f.objects.SendToPaths;
    KB_FUZZ_CHECK(lines.size() == paths.size(), "the two lists out of step");
    size_t next = 0;  // position in `yielded`
    for (size_t i = 0; i < paths.size(); ++i) {
      KB_FUZZ_CHECK(paths[i].compare(0, folderText.size(), folderText) == 0, Printable(paths[i]));
      const std::string name = paths[i].substr(folderText.size());
      KB_FUZZ_CHECK(lines[i] == DisplayNameOf(name), Printable(lines[i]) + " for " + Printable(name));
      // Every plain file between the last listed one and this one was listed too.
      bool found = false;
      for (; next < yielded.size(); ++next) {
        const Entry& e = yielded[next];
        const std::string entry = e.name + ((e.attributes & 0x10) ? "\\" : "");
        if (entry == name && e.name != "." && e.name != "..") {
          found = true;
          ++next;
          break;
        }
        const bool plainFile = !(e.attributes & 0x10) && (e.attributes & 0xA7) && e.name != "." && e.name != "..";
        KB_FUZZ_CHECK(!plainFile || e.name.size() >= CDirUtil::kNameBuffer, "not listed: " + Printable(e.name));
      }
      KB_FUZZ_CHECK(found, "listed but not in the folder, or out of order: " + Printable(name));
    }
    for (; next < yielded.size(); ++next) {
      const Entry& e = yielded[next];
      const bool plainFile = !(e.attributes & 0x10) && (e.attributes & 0xA7) && e.name != "." && e.name != "..";
      KB_FUZZ_CHECK(!plainFile || e.name.size() >= CDirUtil::kNameBuffer, "not listed: " + Printable(e.name));
    }
  }
  return 0;
}

}  // namespace kb_fuzz

KB_FUZZ_ENTRY(DirUtilTarget)
