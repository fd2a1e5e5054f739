// RegistryAccess reading whatever a value holds: any type, any size, any bytes (no terminating
// zero, zeros in the middle, values of a megabyte and more), through a registry adapter that may
// be honest, may see the value change between the size query and the read, or may misreport
// sizes. A read either gives the bytes up to the first zero or raises one of its two messages,
// naming the value; a write either stores the text with one zero or raises its message and
// leaves the value as it was. No handle is left open.
#include <algorithm>
#include <cstring>

#include "fakes/fake_registry.h"
#include "fuzz/fuzz_support.h"
#include "platform/app_error.h"
#include "platform/registry_access.h"

namespace kb_fuzz {
namespace {

const HKey kRoot = reg::kHkeyLocalMachine;
const char kKeyPath[] = "SOFTWARE\\Fuzz";

using Bytes = std::vector<uint8_t>;

uint32_t TypeOf(uint8_t selector, ByteReader& in) {
  switch (selector & 7) {
    case 0: return reg::kRegSz;
    case 1: return reg::kRegExpandSz;
    case 2: return reg::kRegBinary;
    case 3: return reg::kRegDword;
    case 4: return reg::kRegMultiSz;
    case 5: return reg::kRegNone;
    case 6: return in.U32();
    default: return reg::kRegSz;
  }
}

bool IsStringType(uint32_t type) { return type == reg::kRegSz || type == reg::kRegExpandSz; }

// The checks below go through the C library's memchr and memcmp: the fuzzer instruments every
// comparison in our own loops, which over a megabyte would cost more than the code under test.
std::string UpToFirstZero(const Bytes& data) {
  if (data.empty()) return std::string();
  const void* zero = std::memchr(data.data(), 0, data.size());
  const size_t n = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data.data()) : data.size();
  return std::string(reinterpret_cast<const char*>(data.data()), n);
}

bool Same(const Bytes& a, const Bytes& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

Bytes ToBytes(const std::string& s) {
  Bytes out(s.size());
  if (!s.empty()) std::memcpy(out.data(), s.data(), s.size());
  return out;
}

// A megabyte and a little more, repeating what the fuzzer gave, so that large values cost the
// fuzzer nothing to reach.
Bytes Inflate(const Bytes& pattern, size_t extra) {
  const size_t size = (1u << 20) + extra;
  if (pattern.empty()) return Bytes(size, 'A');
  Bytes big(size);
  std::memcpy(big.data(), pattern.data(), std::min(pattern.size(), size));
  // Doubling copies: the filled part is copied onto the part after it.
  for (size_t filled = std::min(pattern.size(), size); filled < size; filled *= 2)
    std::memcpy(big.data() + filled, big.data(), std::min(filled, size - filled));
  return big;
}

enum class Adapter { Honest, ChangedBetweenCalls, Misreporting, DeletedBetweenCalls };

// Forwards to the fake. Armed for one read, its hostile modes change or remove the value right
// after that read's size query, or misreport the size asked for and the size read.
class HostileRegistry : public RegistryApi {
 public:
  HostileRegistry(FakeRegistry& fake, Adapter mode) : fake_(fake), mode_(mode) {}

  std::string name;
  uint32_t newType = 0;
  Bytes newData;
  uint32_t claimedSize = 0;  // Misreporting: the size the first query reports
  uint32_t extraGot = 0;     // Misreporting: added to the size a data read reports
  bool armed = false;        // the hostile behaviour starts with the next size query

  long RegOpenKeyExA(HKey p, const std::string& s, uint32_t a, HKey* r) override { return fake_.RegOpenKeyExA(p, s, a, r); }
  long RegCreateKeyExA(HKey p, const std::string& s, uint32_t a, HKey* r) override {
    return fake_.RegCreateKeyExA(p, s, a, r);
  }
  long RegCloseKey(HKey k) override { return fake_.RegCloseKey(k); }
  long RegQueryValueExA(HKey key, const std::string& n, uint32_t* type, uint8_t* data, uint32_t* size) override {
    if (data == nullptr) {
      const long rc = fake_.RegQueryValueExA(key, n, type, data, size);
      if (armed && rc == reg::kErrorSuccess) {
        armed = false;
        lieOnRead_ = true;
        if (mode_ == Adapter::Misreporting && size) *size = claimedSize;
        if (mode_ == Adapter::ChangedBetweenCalls) fake_.SetValue(kRoot, kKeyPath, name, newType, newData);
        if (mode_ == Adapter::DeletedBetweenCalls) {
          HKey k = 0;
          if (fake_.RegOpenKeyExA(kRoot, kKeyPath, reg::kKeyAllAccess, &k) == reg::kErrorSuccess) {
            fake_.RegDeleteValueA(k, name);
            fake_.RegCloseKey(k);
          }
        }
      }
      return rc;
    }
    const long rc = fake_.RegQueryValueExA(key, n, type, data, size);
    if (mode_ == Adapter::Misreporting && rc == reg::kErrorSuccess && size && lieOnRead_) *size += extraGot;
    lieOnRead_ = false;
    return rc;
  }
  long RegSetValueExA(HKey k, const std::string& n, uint32_t t, const uint8_t* d, uint32_t s) override {
    return fake_.RegSetValueExA(k, n, t, d, s);
  }
  long RegQueryInfoKeyA(HKey k, uint32_t* a, uint32_t* b, uint32_t* c, uint32_t* d) override {
    return fake_.RegQueryInfoKeyA(k, a, b, c, d);
  }
  long RegEnumKeyExA(HKey k, uint32_t i, std::string* n) override { return fake_.RegEnumKeyExA(k, i, n); }
  long RegEnumValueA(HKey k, uint32_t i, std::string* n) override { return fake_.RegEnumValueA(k, i, n); }
  long RegDeleteKeyA(HKey k, const std::string& s) override { return fake_.RegDeleteKeyA(k, s); }
  long RegDeleteValueA(HKey k, const std::string& n) override { return fake_.RegDeleteValueA(k, n); }

 private:
  FakeRegistry& fake_;
  Adapter mode_;
  bool lieOnRead_ = false;
};

struct Outcome {
  bool raised = false;
  std::string text;  // the result, or the message when raised
};

template <typename F>
Outcome Run(F&& call) {
  Outcome o;
  try {
    o.text = call();
  } catch (const AppError& e) {
    o.raised = true;
    o.text = e.what();
  }
  return o;
}

std::string Describe(const Outcome& o) {
  return (o.raised ? "raised \"" : "returned \"") + Printable(o.text.substr(0, 80)) + "\"";
}

void ExpectText(const Outcome& got, const std::string& expected) {
  KB_FUZZ_CHECK(!got.raised && got.text == expected,
                Describe(got) + ", expected the text \"" + Printable(expected.substr(0, 80)) + "\"");
}

void ExpectError(const Outcome& got, const std::string& expected) {
  KB_FUZZ_CHECK(got.raised && got.text == expected, Describe(got) + ", expected \"" + Printable(expected) + "\"");
}

}  // namespace

int RegistryReadTarget(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  const uint8_t flags = in.U8();
  const uint32_t type = TypeOf(flags, in);
  const bool refuseRead = flags & 0x08;
  const bool refuseWrite = flags & 0x10;
  // A megabyte costs a hundred times a short value, so only about one input in five hundred asks
  // for one (the seeds hold some); the rest keep the fuzzer fast.
  const bool inflate = (flags & 0x20) && in.U8() == 0xFF;
  const Adapter mode = static_cast<Adapter>(flags >> 6);

  // Value names come from the program's own constants or from the registry's listing, so never
  // hold a zero byte; anything else goes.
  std::string name = in.Text(24);
  std::replace(name.begin(), name.end(), '\0', '0');

  FakeRegistry fake;
  HostileRegistry api(fake, mode);
  api.name = name;
  if (mode == Adapter::ChangedBetweenCalls) {
    api.newType = TypeOf(in.U8(), in);
    api.newData = ToBytes(in.Bytes(in.U16() % 512));
  }
  if (mode == Adapter::Misreporting) {
    // Mostly sizes near the truth, sometimes anything at all.
    const uint8_t pick = in.U8();
    api.claimedSize = (pick & 0x80) ? in.U32() : in.U16();
    api.extraGot = (pick & 0x40) ? in.U32() : (pick & 0x0F);
  }
  const size_t extra = in.U16() % 257;
  Bytes stored = ToBytes(in.Rest());
  if (inflate) stored = Inflate(stored, extra);

  fake.SetValue(kRoot, kKeyPath, name, type, stored);
  if (refuseRead) fake.RefuseRead(kRoot, kKeyPath, name);
  if (refuseWrite) fake.RefuseWrite(kRoot, kKeyPath, name);

  const std::string getError = "Failed to get data for '" + name + "'";
  const std::string typeError = "Invalid data type for '" + name + "'";
  const std::string setError = "Failed to set data for '" + name + "'";
  {
    RegistryAccess registry(api);
    registry.SetRootKey(kRoot);
    KB_FUZZ_CHECK(OpenPiecewise(registry, kKeyPath, true), "the key exists");
    KB_FUZZ_CHECK(registry.ValueExists(name), "the value exists");
    if (mode == Adapter::Honest) KB_FUZZ_CHECK(registry.GetDataType(name) == type, "the stored type");
    KB_FUZZ_CHECK(fake.OpenHandleCount() == 1, "one key open at a time");

    api.armed = true;
    const Outcome read = Run([&] { return registry.ReadString(name); });
    // Still armed: read in one call, with no size query for the adapter to change or lie after.
    const bool oneCall = api.armed;
    api.armed = false;
    switch (oneCall ? Adapter::Honest : mode) {
      case Adapter::Honest:
        if (stored.empty()) ExpectText(read, "");
        else if (refuseRead) ExpectError(read, getError);
        else if (!IsStringType(type)) ExpectError(read, typeError);
        else ExpectText(read, UpToFirstZero(stored));
        break;
      case Adapter::ChangedBetweenCalls:
        // The size was taken from the old value, the data comes from the new one.
        if (stored.empty()) ExpectText(read, "");
        else if (refuseRead || api.newData.size() > stored.size()) ExpectError(read, getError);
        else if (!IsStringType(api.newType)) ExpectError(read, typeError);
        else ExpectText(read, UpToFirstZero(api.newData));
        break;
      case Adapter::DeletedBetweenCalls:
        if (stored.empty()) ExpectText(read, "");
        else ExpectError(read, getError);
        break;
      case Adapter::Misreporting:
        // Whatever the sizes claim, the result is never more than was stored, and never more
        // than the room the first answer asked for.
        if (read.raised) {
          KB_FUZZ_CHECK(read.text == getError || read.text == typeError, Describe(read));
        } else {
          KB_FUZZ_CHECK(read.text.find('\0') == std::string::npos, Describe(read));
          KB_FUZZ_CHECK(read.text.size() <= api.claimedSize, Describe(read));
          // A read that reports more bytes than it wrote leaves the rest of the buffer to
          // chance, so only a truthful read can be held to the stored bytes.
          if (api.extraGot == 0) {
            KB_FUZZ_CHECK(read.text.size() <= stored.size(), Describe(read));
            KB_FUZZ_CHECK(UpToFirstZero(stored).compare(0, read.text.size(), read.text) == 0, Describe(read));
          }
        }
        break;
    }

    // Writing: the text goes back with exactly one zero, as a plain or an expandable string; a
    // refused write raises and leaves the value as it was.
    if (mode == Adapter::Honest) {
      const std::string text = UpToFirstZero(stored);
      for (uint32_t writeType : {reg::kRegSz, reg::kRegExpandSz}) {
        uint32_t typeBefore = 0;
        Bytes before;
        fake.GetValue(kRoot, kKeyPath, name, &typeBefore, &before);
        const Outcome write = Run([&] {
          if (writeType == reg::kRegSz) registry.WriteString(name, text);
          else registry.WriteExpandString(name, text);
          return std::string();
        });
        uint32_t typeAfter = 0;
        Bytes after;
        fake.GetValue(kRoot, kKeyPath, name, &typeAfter, &after);
        if (refuseWrite) {
          ExpectError(write, setError);
          KB_FUZZ_CHECK(typeAfter == typeBefore && Same(after, before), "a refused write changed the value");
          continue;
        }
        ExpectText(write, "");
        Bytes expected = ToBytes(text);
        expected.push_back(0);
        KB_FUZZ_CHECK(typeAfter == writeType && Same(after, expected), "the stored text and its one zero");
        const Outcome reread = Run([&] { return registry.ReadString(name); });
        if (refuseRead) ExpectError(reread, getError);
        else ExpectText(reread, text);
      }
    }

    registry.CloseKey();
    KB_FUZZ_CHECK(registry.ReadString(name).empty(), "no key open reads as empty");
    ExpectError(Run([&] {
                  registry.WriteString(name, "x");
                  return std::string();
                }),
                setError);
  }
  KB_FUZZ_CHECK(fake.OpenHandleCount() == 0, "handles left open");
  return 0;
}

}  // namespace kb_fuzz

KB_FUZZ_ENTRY(RegistryReadTarget)
