#pragma once
// Shared by the fuzz targets and by the unit test that replays their seeds and past crashes.
//
// Each target is a plain function over a byte string. Built with KB_LIBFUZZER it also becomes
// libFuzzer's entry point; in the unit suite the same function runs over the files kept under
// tests/fuzz/, so a crash once found is tried again on every test run, with gcc's sanitizers too.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace kb_fuzz {

// Raised when a target finds the code under test breaking one of its promises. Deliberately not
// a std::exception: nothing under test may catch it by accident.
struct InvariantBroken {
  std::string what;
};

[[noreturn]] inline void Broken(const char* file, int line, const std::string& what) {
  throw InvariantBroken{std::string(file) + ":" + std::to_string(line) + ": " + what};
}

#define KB_FUZZ_CHECK(cond, what)                                                      \
  do {                                                                                 \
    if (!(cond)) ::kb_fuzz::Broken(__FILE__, __LINE__, std::string(#cond " -- ") + (what)); \
  } while (0)

// Reads a fuzzer's bytes as typed fields. Past the end every read gives zeros, so any input,
// even an empty one, decodes to some case.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t Left() const { return size_ - pos_; }
  uint8_t U8() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint16_t U16() { return static_cast<uint16_t>(U8() | (U8() << 8)); }
  uint32_t U32() { return static_cast<uint32_t>(U16()) | (static_cast<uint32_t>(U16()) << 16); }
  bool Bool() { return (U8() & 1) != 0; }
  std::string Bytes(size_t n) {
    if (n > Left()) n = Left();
    std::string out(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return out;
  }
  // A text whose length is the next byte, cut to maxLength.
  std::string Text(size_t maxLength) { return Bytes(U8() % (maxLength + 1)); }
  std::string Rest() { return Bytes(Left()); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

inline std::string Printable(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

// The targets. Each returns 0 and raises InvariantBroken when the code under test misbehaves.
int RegistryReadTarget(const uint8_t* data, size_t size);
int RegistryWalkTarget(const uint8_t* data, size_t size);
int OsIdentificationTarget(const uint8_t* data, size_t size);
int ChecksumTarget(const uint8_t* data, size_t size);
int SendToTextTarget(const uint8_t* data, size_t size);
int SendToFolderTarget(const uint8_t* data, size_t size);
int DirUtilTarget(const uint8_t* data, size_t size);

}  // namespace kb_fuzz

// libFuzzer's entry point, only in the fuzzer build: one per executable.
#ifdef KB_LIBFUZZER
#define KB_FUZZ_ENTRY(function)                                                   \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {        \
    try {                                                                          \
      return ::kb_fuzz::function(data, size);                                      \
    } catch (const ::kb_fuzz::InvariantBroken& e) {                                \
      std::fprintf(stderr, "invariant broken: %s\n", e.what.c_str());              \
      std::abort();                                                                \
    }                                                                              \
  }
#else
#define KB_FUZZ_ENTRY(function)
#endif
