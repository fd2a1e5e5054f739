#include "fakes/fake_registry.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorBadPathname = 161;
constexpr long kErrorKeyDeleted = 1018;

// The registry compares names without regard to case, for the letters of the ANSI code page as
// well as for ASCII (Windows-1252: the accented capitals sit 0x20 below their small letters).
unsigned char FoldByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: return c;
  }
}

std::string Fold(const std::string& s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
  return out;
}

bool SameName(const std::string& a, const std::string& b) { return Fold(a) == Fold(b); }

// Pieces of a backslash-separated path; doubled and trailing backslashes name nothing.
std::vector<std::string> Split(const std::string& path, const CodePage& chars) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t found = chars.FindFirstOf(path.substr(start), "\\");
    const size_t end = found == std::string::npos ? path.size() : start + found;
    if (end > start) pieces.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

bool IsStringType(uint32_t type) {
  return type == reg::kRegSz || type == reg::kRegExpandSz || type == reg::kRegMultiSz;
}

}  // namespace

struct FakeRegistry::Node {
  struct Value {
    std::string name;
    uint32_t type;
    std::vector<uint8_t> data;
  };

  std::string name;
  Node* parent = nullptr;
  bool deleted = false;
  // Subkeys in name order (AddChild), values in creation order, which is what Windows NT
  // reports. Wine sorts values too, so a test that cares about the order of values should
  // create them in name order, where every registry agrees.
  std::vector<std::unique_ptr<Node>> children;
  std::vector<Value> values;
  // Deleted subkeys stay alive here: a handle still open on one must fail cleanly with
  // ERROR_KEY_DELETED, as on Windows, rather than point at freed memory.
  std::vector<std::unique_ptr<Node>> removed;

  bool refuseOpen = false;
  bool refuseDelete = false;
  std::vector<std::string> refusedReads, refusedWrites, refusedValueDeletes;  // folded; "*" = all

  // Subkeys are enumerated in name order, compared without regard to case, as Windows NT and
  // Wine both do; a new subkey takes its place in that order.
  Node* AddChild(const std::string& childName) {
    auto pos = children.begin();
    while (pos != children.end() && Fold((*pos)->name) < Fold(childName)) ++pos;
    auto added = children.insert(pos, std::make_unique<Node>());
    (*added)->name = childName;
    (*added)->parent = this;
    return added->get();
  }

  Node* Child(const std::string& childName) const {
    for (const auto& c : children)
      if (SameName(c->name, childName)) return c.get();
    return nullptr;
  }
  Value* FindValue(const std::string& valueName) {
    for (auto& v : values)
      if (SameName(v.name, valueName)) return &v;
    return nullptr;
  }
  static bool Listed(const std::vector<std::string>& names, const std::string& valueName) {
    const std::string folded = Fold(valueName);
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return n == "*" || n == folded; });
  }
  void MarkDeleted() {
    deleted = true;
    for (auto& c : children) c->MarkDeleted();
  }
  // Moves the child out of the tree; it stays alive for handles that still name it.
  void Remove(Node* child) {
    for (auto it = children.begin(); it != children.end(); ++it) {
      if (it->get() != child) continue;
      child->MarkDeleted();
      removed.push_back(std::move(*it));
      children.erase(it);
      return;
    }
  }
};

FakeRegistry::FakeRegistry() {
  for (HKey root : {reg::kHkeyClassesRoot, reg::kHkeyCurrentUser, reg::kHkeyLocalMachine, reg::kHkeyUsers}) {
    roots_[root] = std::make_unique<Node>();
  }
}

FakeRegistry::~FakeRegistry() = default;

// ---- lookup ----

FakeRegistry::Node* FakeRegistry::Find(HKey root, const std::string& path) const {
  auto it = roots_.find(root);
  if (it == roots_.end()) return nullptr;
  Node* node = it->second.get();
  for (const auto& piece : Split(path, codePage)) {
    node = node->Child(piece);
    if (!node) return nullptr;
  }
  return node;
}

FakeRegistry::Node* FakeRegistry::Make(HKey root, const std::string& path) {
  auto it = roots_.find(root);
  if (it == roots_.end()) return nullptr;
  Node* node = it->second.get();
  for (const auto& piece : Split(path, codePage)) {
    Node* child = node->Child(piece);
    if (!child) child = node->AddChild(piece);
    node = child;
  }
  return node;
}

FakeRegistry::Node* FakeRegistry::NodeOf(HKey key) const {
  auto root = roots_.find(key);
  if (root != roots_.end()) return root->second.get();
  auto handle = handles_.find(key);
  return handle == handles_.end() ? nullptr : handle->second;
}

HKey FakeRegistry::NewHandle(Node* node, uint32_t access) {
  const HKey handle = nextHandle_;
  // Never reused, so that a stale handle is always told apart from a live one.
  nextHandle_ += 4;
  handles_[handle] = node;
  constexpr uint32_t kKeySetValue = 0x2;
  if (!(access & kKeySetValue)) readOnlyHandles_.insert(handle);
  return handle;
}

long FakeRegistry::StandardUserRefusal(const Node* node, uint32_t access) const {
  if (!standardUser_ || (access & ~reg::kKeyRead) == 0) return reg::kErrorSuccess;
  while (node->parent) node = node->parent;
  return node == roots_.at(reg::kHkeyLocalMachine).get() ? reg::kErrorAccessDenied : reg::kErrorSuccess;
}

long FakeRegistry::ChangeRefusal(HKey key) const {
  const Node* node = NodeOf(key);
  if (readOnlyHandles_.count(key) || (node && StandardUserRefusal(node, reg::kKeyAllAccess))) return reg::kErrorAccessDenied;
  return reg::kErrorSuccess;
}

// ---- RegistryApi ----

long FakeRegistry::RegOpenKeyExA(HKey parent, const std::string& subKey, uint32_t access, HKey* result) {
  ++calls_;
  if (!result) return kErrorInvalidParameter;
  Node* node = NodeOf(parent);
  if (!node) return reg::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  // Windows NT refuses a key path that starts with a backslash.
  if (!subKey.empty() && subKey[0] == '\\') return kErrorBadPathname;
  for (const auto& piece : Split(subKey, codePage)) {
    node = node->Child(piece);
    if (!node) return reg::kErrorFileNotFound;
  }
  if (node->refuseOpen) return reg::kErrorAccessDenied;
  if (const long refused = StandardUserRefusal(node, access)) return refused;
  // An empty subkey opens a new handle to the same key, which the caller must close too.
  *result = NewHandle(node, access);
  return reg::kErrorSuccess;
}

long FakeRegistry::RegCreateKeyExA(HKey parent, const std::string& subKey, uint32_t access, HKey* result) {
  ++calls_;
  if (!result) return kErrorInvalidParameter;
  Node* node = NodeOf(parent);
  if (!node) return reg::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  if (const long refused = StandardUserRefusal(node, reg::kKeyAllAccess)) return refused;
  if (!subKey.empty() && subKey[0] == '\\') return kErrorBadPathname;
  for (const auto& piece : Split(subKey, codePage)) {
    Node* child = node->Child(piece);
    if (!child) child = node->AddChild(piece);
    node = child;
  }
  if (node->refuseOpen) return reg::kErrorAccessDenied;
  *result = NewHandle(node, access);
  return reg::kErrorSuccess;
}

long FakeRegistry::RegCloseKey(HKey key) {
  ++calls_;
  // Closing a predefined root is allowed and does nothing, as on Windows.
  if (roots_.count(key)) return reg::kErrorSuccess;
  readOnlyHandles_.erase(key);
  return handles_.erase(key) ? reg::kErrorSuccess : reg::kErrorInvalidHandle;
}

long FakeRegistry::RegQueryValueExA(HKey key, const std::string& name, uint32_t* type, uint8_t* data,
                                    uint32_t* size) {
  ++calls_;
  Node* node = NodeOf(key);
  if (!node) return reg::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  if (data && !size) return kErrorInvalidParameter;
  Node::Value* value = node->FindValue(name);
  if (!value) return reg::kErrorFileNotFound;
  const uint32_t stored = static_cast<uint32_t>(value->data.size());
  if (!data) {
    if (type) *type = value->type;
    if (size) *size = stored;
    return reg::kErrorSuccess;
  }
  if (Node::Listed(node->refusedReads, name)) return reg::kErrorAccessDenied;
  if (*size < stored) {
    if (type) *type = value->type;
    *size = stored;
    return reg::kErrorMoreData;
  }
  if (stored) std::memcpy(data, value->data.data(), stored);
  // Like Windows NT: a string stored without its zero gets one when the buffer has room.
  if (IsStringType(value->type) && stored && stored < *size && value->data.back() != 0) data[stored] = 0;
  if (type) *type = value->type;
  *size = stored;
  return reg::kErrorSuccess;
}

long FakeRegistry::RegSetValueExA(HKey key, const std::string& name, uint32_t type, const uint8_t* data,
                                  uint32_t size) {
  ++calls_;
  Node* node = NodeOf(key);
  if (!node) return reg::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  if (size && !data) return kErrorInvalidParameter;
  if (Node::Listed(node->refusedWrites, name) || ChangeRefusal(key)) return reg::kErrorAccessDenied;
  std::vector<uint8_t> bytes(data, data + size);
  if (Node::Value* value = node->FindValue(name)) {
    value->type = type;
    value->data = std::move(bytes);
  } else {
    node->values.push_back({name, type, std::move(bytes)});
  }
  return reg::kErrorSuccess;
}

long FakeRegistry::RegQueryInfoKeyA(HKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen, uint32_t* values,
                                    uint32_t* maxValueNameLen) {
  ++calls_;
  Node* node = NodeOf(key);
  if (!node) return reg::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  size_t longestKey = 0, longestValue = 0;
  for (const auto& c : node->children) longestKey = std::max(longestKey, c->name.size());
  for (const auto& v : node->values) longestValue = std::max(longestValue, v.name.size());
  if (subKeys) *subKeys = static_cast<uint32_t>(node->children.size());
  if (maxSubKeyLen) *maxSubKeyLen = static_cast<uint32_t>(longestKey);
  if (values) *values = static_cast<uint32_t>(node->values.size());
  if (maxValueNameLen) *maxValueNameLen = static_cast<uint32_t>(longestValue);
  return reg::kErrorSuccess;
}

long FakeRegistry::RegEnumKeyExA(HKey key, uint32_t index, std::string* name) {
  ++calls_;
  Node* node = NodeOf(key);
  if (!node) return reg::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  if (!name) return kErrorInvalidParameter;
  if (index >= node->children.size()) return reg::kErrorNoMoreItems;
  *name = node->children[index]->name;
  return reg::kErrorSuccess;
}

long FakeRegistry::RegEnumValueA(HKey key, uint32_t index, std::string* name) {
  ++calls_;
  Node* node = NodeOf(key);
  if (!node) return reg::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  if (!name) return kErrorInvalidParameter;
  if (index >= node->values.size()) return reg::kErrorNoMoreItems;
  *name = node->values[index].name;
  return reg::kErrorSuccess;
}

long FakeRegistry::RegDeleteKeyA(HKey key, const std::string& subKey) {
  ++calls_;
  Node* node = NodeOf(key);
  if (!node) return reg::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  if (!subKey.empty() && subKey[0] == '\\') return kErrorBadPathname;
  // An empty subkey deletes the key the handle names.
  for (const auto& piece : Split(subKey, codePage)) {
    node = node->Child(piece);
    if (!node) return reg::kErrorFileNotFound;
  }
  // The predefined roots cannot go; on Windows NT neither can a key that still has subkeys.
  if (!node->parent || node->refuseDelete || !node->children.empty() || ChangeRefusal(key)) return reg::kErrorAccessDenied;
  node->parent->Remove(node);
  return reg::kErrorSuccess;
}

long FakeRegistry::RegDeleteValueA(HKey key, const std::string& name) {
  ++calls_;
  Node* node = NodeOf(key);
  if (!node) return reg::kErrorInvalidHandle;
  if (node->deleted) return kErrorKeyDeleted;
  auto it = std::find_if(node->values.begin(), node->values.end(),
                         [&](const Node::Value& v) { return SameName(v.name, name); });
  if (it == node->values.end()) return reg::kErrorFileNotFound;
  if (Node::Listed(node->refusedValueDeletes, name) || ChangeRefusal(key)) return reg::kErrorAccessDenied;
  node->values.erase(it);
  return reg::kErrorSuccess;
}

// ---- set-up and inspection ----

void FakeRegistry::CreateKey(HKey root, const std::string& path) { Make(root, path); }

void FakeRegistry::SetValue(HKey root, const std::string& path, const std::string& name, uint32_t type,
                            const std::vector<uint8_t>& data) {
  Node* node = Make(root, path);
  if (!node) return;
  if (Node::Value* value = node->FindValue(name)) {
    value->type = type;
    value->data = data;
  } else {
    node->values.push_back({name, type, data});
  }
}

void FakeRegistry::SetString(HKey root, const std::string& path, const std::string& name, const std::string& text,
                             uint32_t type) {
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  SetValue(root, path, name, type, data);
}

void FakeRegistry::SetDword(HKey root, const std::string& path, const std::string& name, uint32_t value) {
  // Little-endian, as REG_DWORD is stored on x86.
  SetValue(root, path, name, reg::kRegDword,
           {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)});
}

void FakeRegistry::DeleteTree(HKey root, const std::string& path) {
  Node* node = Find(root, path);
  if (node && node->parent) node->parent->Remove(node);
}

bool FakeRegistry::KeyExists(HKey root, const std::string& path) const { return Find(root, path) != nullptr; }

bool FakeRegistry::ValueExists(HKey root, const std::string& path, const std::string& name) const {
  Node* node = Find(root, path);
  return node && node->FindValue(name);
}

bool FakeRegistry::GetValue(HKey root, const std::string& path, const std::string& name, uint32_t* type,
                            std::vector<uint8_t>* data) const {
  Node* node = Find(root, path);
  Node::Value* value = node ? node->FindValue(name) : nullptr;
  if (!value) return false;
  if (type) *type = value->type;
  if (data) *data = value->data;
  return true;
}

std::string FakeRegistry::GetString(HKey root, const std::string& path, const std::string& name) const {
  std::vector<uint8_t> data;
  if (!GetValue(root, path, name, nullptr, &data)) return std::string();
  auto zero = std::find(data.begin(), data.end(), 0);
  return std::string(data.begin(), zero);
}

uint32_t FakeRegistry::GetType(HKey root, const std::string& path, const std::string& name) const {
  uint32_t type = reg::kRegNone;
  return GetValue(root, path, name, &type, nullptr) ? type : reg::kRegNone;
}

std::vector<std::string> FakeRegistry::SubKeyNames(HKey root, const std::string& path) const {
  std::vector<std::string> names;
  if (Node* node = Find(root, path))
    for (const auto& c : node->children) names.push_back(c->name);
  return names;
}

std::vector<std::string> FakeRegistry::ValueNames(HKey root, const std::string& path) const {
  std::vector<std::string> names;
  if (Node* node = Find(root, path))
    for (const auto& v : node->values) names.push_back(v.name);
  return names;
}

// ---- faults ----
// Each fault names a key that the test means to exist; the key is made if it is not there yet.

void FakeRegistry::RefuseOpen(HKey root, const std::string& path) {
  if (Node* node = Make(root, path)) node->refuseOpen = true;
}

void FakeRegistry::RefuseRead(HKey root, const std::string& path, const std::string& name) {
  if (Node* node = Make(root, path)) node->refusedReads.push_back(Fold(name));
}

void FakeRegistry::RefuseWrite(HKey root, const std::string& path, const std::string& name) {
  if (Node* node = Make(root, path)) node->refusedWrites.push_back(Fold(name));
}

void FakeRegistry::RefuseDeleteKey(HKey root, const std::string& path) {
  if (Node* node = Make(root, path)) node->refuseDelete = true;
}

void FakeRegistry::RefuseDeleteValue(HKey root, const std::string& path, const std::string& name) {
  if (Node* node = Make(root, path)) node->refusedValueDeletes.push_back(Fold(name));
}

int FakeRegistry::OpenHandleCount() const { return static_cast<int>(handles_.size()); }
