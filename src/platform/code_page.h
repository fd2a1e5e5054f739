#pragma once
// Texts are bytes of the system's ANSI code page. In the double-byte code pages (932 Japanese,
// 936 and 950 Chinese, 949 Korean) a lead byte starts a character of two bytes whose second byte
// may be a backslash (0x5C) or a bar (0x7C): a byte search finds separators in the middle of
// names such as "表示" (0x95 0x5C 0x8E 0xA6). These searches step through a text by character.
#include <bitset>
#include <cstddef>
#include <string>

class SystemApi;

class CodePage {
 public:
  // No lead bytes, as in every single-byte code page.
  CodePage() = default;
  // The lead bytes of the system's ANSI code page.
  explicit CodePage(SystemApi& system);

  // Where the last character `c` stands; npos when there is none.
  size_t FindLast(const std::string& text, char c) const;
  // Where the first character that is one of `set` stands; npos when there is none.
  size_t FindFirstOf(const std::string& text, const char* set) const;
  // True when the last character is `c`; false for the empty text.
  bool EndsWith(const std::string& text, char c) const;
  // The text cut to at most `bytes` bytes, never in the middle of a character.
  std::string Cut(const std::string& text, size_t bytes) const;

 private:
  // The length of the character at `at`: 2 for a lead byte with a byte after it, otherwise 1.
  size_t CharLength(const std::string& text, size_t at) const;
  std::bitset<256> lead_;
};
