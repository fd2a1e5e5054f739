// RegistryAccess walking and pruning a registry of arbitrary shape: opens of any path (absolute
// or relative, doubled and trailing backslashes, missing and refused keys), listings, and
// deletions of keys and values, in any order. A model of where the object stands predicts each
// open; no key is ever created; at most one key is open at a time; a deletion never touches
// anything outside the key it names, nor that key's parent; a failed open moves nothing.
#include <algorithm>
#include <map>
#include <set>

#include "fakes/fake_registry.h"
#include "fuzz/fuzz_support.h"
#include "platform/registry_access.h"

namespace kb_fuzz {
namespace {

const HKey kRoots[] = {reg::kHkeyLocalMachine, reg::kHkeyCurrentUser};

// The registry compares names without regard to case, accented letters of the ANSI code page
// included; so does the model.
std::string Fold(std::string s) {
  for (char& ch : s) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) ch = static_cast<char>(c - 0x20);
    else if (c == 0x9A || c == 0x9C || c == 0x9E) ch = static_cast<char>(c - 0x10);
    else if (c == 0xFF) ch = static_cast<char>(0x9F);
  }
  return s;
}

std::vector<std::string> Pieces(const std::string& path) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) out.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

std::string Join(const std::vector<std::string>& pieces) {
  std::string out;
  for (const std::string& p : pieces) out += (out.empty() ? "" : "\\") + p;
  return out;
}

// Every key and value, by folded path, for comparing before and after.
using Dump = std::map<std::string, std::string>;
void DumpKey(const FakeRegistry& r, HKey root, const std::string& path, Dump& out) {
  const std::string at = std::to_string(root) + "|" + Fold(path);
  out[at] = "(key)";
  for (const std::string& name : r.ValueNames(root, path)) {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    r.GetValue(root, path, name, &type, &data);
    out[at + "|:" + Fold(name)] = std::to_string(type) + "=" + std::string(data.begin(), data.end());
  }
  for (const std::string& sub : r.SubKeyNames(root, path)) DumpKey(r, root, path.empty() ? sub : path + "\\" + sub, out);
}
Dump DumpOf(const FakeRegistry& r) {
  Dump d;
  for (HKey root : kRoots) DumpKey(r, root, "", d);
  return d;
}

// Inside the key at `path` (the key itself included)?
bool Within(const std::string& entry, HKey root, const std::string& path) {
  const std::string key = std::to_string(root) + "|" + Fold(path);
  return entry == key || entry.compare(0, key.size() + 1, key + "|") == 0 ||
         entry.compare(0, key.size() + 1, key + "\\") == 0;
}

const char* const kNames[] = {"SOFTWARE", "Microsoft", "Windows", "CurrentVersion", "Uninstall", "a", "A", "x y",
                              "Caf\xE9", "..", "*"};
const char* const kValueNames[] = {"", "DisplayName", "displayname", "v"};

std::string Name(ByteReader& in) {
  const uint8_t pick = in.U8();
  if (pick < 0xE0) return kNames[pick % 11];
  std::string n = in.Text(8);
  n.erase(std::remove(n.begin(), n.end(), '\\'), n.end());
  n.erase(std::remove(n.begin(), n.end(), '\0'), n.end());
  return n.empty() ? "n" : n;
}

// A path from known names with the separators a page or a hostile value could produce.
std::string PathText(ByteReader& in) {
  const uint8_t shape = in.U8();
  std::string path = (shape & 0x01) ? "\\" : "";
  if (shape & 0x02) path += "\\";
  const int pieces = (shape >> 2) % 4;
  for (int i = 0; i < pieces; ++i) {
    if (i > 0) path += (shape & 0x40) && i == 1 ? "\\\\" : "\\";
    path += Name(in);
  }
  if (shape & 0x80) path += "\\";
  return path;
}

struct Model {
  HKey root = reg::kHkeyCurrentUser;
  bool open = false;
  std::string path;  // of the open key, below the root
};

}  // namespace

int RegistryWalkTarget(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  FakeRegistry fake;
  std::set<std::string> refusedOpen;  // folded "root|path"

  // A small tree under both roots.
  std::vector<std::pair<HKey, std::string>> keys;
  const size_t keyCount = in.U8() % 12;
  for (size_t i = 0; i < keyCount; ++i) {
    const uint8_t how = in.U8();
    std::string path = Name(in);
    HKey root = kRoots[how & 1];
    if (!keys.empty() && (how & 0x02)) {
      const auto& parent = keys[in.U8() % keys.size()];
      root = parent.first;
      path = parent.second + "\\" + path;
    }
    fake.CreateKey(root, path);
    keys.emplace_back(root, path);
    if (how & 0x04) fake.SetString(root, path, kValueNames[in.U8() % 4], in.Text(6));
    if (how & 0x08) fake.SetDword(root, path, kValueNames[in.U8() % 4], in.U32());
    if ((how & 0x30) == 0x30) {
      fake.RefuseOpen(root, path);
      refusedOpen.insert(std::to_string(root) + "|" + Fold(Join(Pieces(path))));
    }
    if ((how & 0xC0) == 0xC0) fake.RefuseDeleteKey(root, path);
    if ((how & 0xC0) == 0x40) fake.RefuseDeleteValue(root, path, "*");
  }

  Model m;
  {
    RegistryAccess registry(fake);
    for (int step = 0; step < 24 && in.Left() > 0; ++step) {
      const Dump before = DumpOf(fake);
      const uint8_t op = in.U8() % 9;
      std::string detail;
      switch (op) {
        case 0: {  // open
          const std::string path = PathText(in);
          detail = "open " + Printable(path);
          const bool absolute = !path.empty() && path[0] == '\\';
          const std::string sub = absolute ? path.substr(1) : path;
          std::vector<std::string> target = (absolute || !m.open) ? std::vector<std::string>() : Pieces(m.path);
          for (const std::string& p : Pieces(sub)) target.push_back(p);
          const std::string targetPath = Join(target);
          const bool refused = refusedOpen.count(std::to_string(m.root) + "|" + Fold(targetPath)) > 0;
          // The current key may have been deleted under us: then nothing opens relative to it.
          const bool baseAlive = absolute || !m.open || fake.KeyExists(m.root, m.path);
          const bool expected = baseAlive && (sub.empty() || sub[0] != '\\') && fake.KeyExists(m.root, targetPath) && !refused;
          const HKey current = registry.CurrentKey();
          const bool opened = registry.OpenKey(path, false);
          KB_FUZZ_CHECK(opened == expected, detail + (opened ? " opened" : " did not open"));
          if (opened) {
            m.open = true;
            m.path = targetPath;
          } else {
            KB_FUZZ_CHECK(registry.CurrentKey() == current, detail + ": a failed open moved the object");
          }
          break;
        }
        case 1: {  // the pages' piece-by-piece walk
          const std::string path = PathText(in);
          const bool stop = in.Bool();
          detail = "walk " + Printable(path);
          OpenPiecewise(registry, path, stop);
          // Each open of the walk is held to the model by the single opens above; the walk only
          // has to leave the rules of the step below intact. The model starts again from no key.
          registry.CloseKey();
          m.open = false;
          break;
        }
        case 2:
          registry.CloseKey();
          m.open = false;
          break;
        case 3: {
          const HKey root = kRoots[in.U8() & 1];
          detail = "root";
          const HKey current = registry.CurrentKey();
          registry.SetRootKey(root);
          if (root == m.root) {
            KB_FUZZ_CHECK(registry.CurrentKey() == current, "setting the same root keeps the key open");
          } else {
            KB_FUZZ_CHECK(registry.CurrentKey() == 0, "another root closes the key");
            m.open = false;
          }
          m.root = root;
          break;
        }
        case 4: {
          std::vector<std::string> names = {"stale"};
          registry.GetKeyNames(names);
          detail = "list keys";
          if (!m.open) KB_FUZZ_CHECK(names.empty(), "no key open lists nothing");
          else if (fake.KeyExists(m.root, m.path)) KB_FUZZ_CHECK(names == fake.SubKeyNames(m.root, m.path), detail);
          break;
        }
        case 5: {
          std::vector<std::string> names = {"stale"};
          registry.GetValueNames(names);
          detail = "list values";
          if (!m.open) KB_FUZZ_CHECK(names.empty(), "no key open lists nothing");
          else if (fake.KeyExists(m.root, m.path)) KB_FUZZ_CHECK(names == fake.ValueNames(m.root, m.path), detail);
          break;
        }
        case 6: {  // delete a key: nothing outside it may change
          const std::string path = PathText(in);
          detail = "delete key " + Printable(path);
          const bool absolute = !path.empty() && path[0] == '\\';
          const std::string sub = absolute ? path.substr(1) : path;
          const std::vector<std::string> basePieces = (absolute || !m.open) ? std::vector<std::string>() : Pieces(m.path);
          std::vector<std::string> target = basePieces;
          for (const std::string& p : Pieces(sub)) target.push_back(p);
          const std::string targetPath = Join(target);
          const bool baseAlive = absolute || !m.open || fake.KeyExists(m.root, m.path);
          const bool deleted = registry.DeleteKey(path);
          const Dump after = DumpOf(fake);
          for (const auto& [entry, value] : before) {
            if (!Pieces(sub).empty() && baseAlive && Within(entry, m.root, targetPath)) continue;
            auto it = after.find(entry);
            KB_FUZZ_CHECK(it != after.end() && it->second == value, detail + ": touched " + Printable(entry));
          }
          if (deleted) KB_FUZZ_CHECK(!fake.KeyExists(m.root, targetPath), detail + ": reported deleted, still there");
          if (Pieces(sub).empty()) KB_FUZZ_CHECK(!deleted, detail + ": a nameless key is never deleted");
          break;
        }
        case 7: {  // delete a value of the open key
          const std::string name = kValueNames[in.U8() % 4];
          detail = "delete value " + name;
          const bool deleted = registry.DeleteValue(name);
          const Dump after = DumpOf(fake);
          if (!m.open) KB_FUZZ_CHECK(!deleted, "no key open deletes nothing");
          const std::string gone = std::to_string(m.root) + "|" + Fold(m.path) + "|:" + Fold(name);
          for (const auto& [entry, value] : before) {
            if (deleted && entry == gone) continue;
            auto it = after.find(entry);
            KB_FUZZ_CHECK(it != after.end() && it->second == value, detail + ": touched " + Printable(entry));
          }
          if (deleted) KB_FUZZ_CHECK(!after.count(gone), detail + ": reported deleted, still there");
          break;
        }
        case 8: {
          const std::string name = kValueNames[in.U8() % 4];
          detail = "exists " + name;
          const bool exists = registry.ValueExists(name);
          const bool expected = m.open && fake.KeyExists(m.root, m.path) && fake.ValueExists(m.root, m.path, name);
          KB_FUZZ_CHECK(exists == expected, detail);
          break;
        }
      }
      // No key is ever created, and one handle at most is held.
      for (const auto& [entry, value] : DumpOf(fake))
        KB_FUZZ_CHECK(before.count(entry), detail + ": created " + Printable(entry));
      KB_FUZZ_CHECK(fake.OpenHandleCount() <= 1, detail + ": " + std::to_string(fake.OpenHandleCount()) + " handles");
      KB_FUZZ_CHECK((registry.CurrentKey() != 0) == m.open, detail + ": the object is not where the model is");
    }
  }
  KB_FUZZ_CHECK(fake.OpenHandleCount() == 0, "handles left open");
  return 0;
}

}  // namespace kb_fuzz

KB_FUZZ_ENTRY(RegistryWalkTarget)
