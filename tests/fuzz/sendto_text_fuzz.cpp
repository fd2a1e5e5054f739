// The "Send to" text rules over any bytes and any length: each result is what a plain reading
// of the rule gives, or, for texts longer than the buffers the rules have always used, a cut
// version of it that still fits those buffers (55 characters for a file name, 254 for a shown
// name or an extension). Never a separator where the rule takes it away.
#include "fuzz/fuzz_support.h"
#include "pages/sendto/text_rules.h"

namespace kb_fuzz {
namespace {

std::string AfterLastBackslash(const std::string& s) {
  const size_t slash = s.rfind('\\');
  return slash == std::string::npos ? s : s.substr(slash + 1);
}

bool IsPrefix(const std::string& prefix, const std::string& of) { return of.compare(0, prefix.size(), prefix) == 0; }

std::string Show(const std::string& s) { return Printable(s.substr(0, 60)) + (s.size() > 60 ? "..." : ""); }

}  // namespace

int SendToTextTarget(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  // Long texts are cheap to ask for: a repeat count stretches the input.
  const uint8_t repeat = in.U8() % 8;
  std::string text = in.Rest();
  for (uint8_t i = 0; i < repeat && text.size() < 4096; ++i) text += text;

  // FileNameOf works on a copy of at most 255 characters and returns at most 55.
  const std::string fileName = FileNameOf(text);
  KB_FUZZ_CHECK(fileName.size() <= 55, Show(fileName));
  KB_FUZZ_CHECK(fileName.find('\\') == std::string::npos, Show(fileName));
  KB_FUZZ_CHECK(text.find(fileName) != std::string::npos, Show(fileName));
  if (text.size() <= 255) {
    const std::string leaf = AfterLastBackslash(text);
    if (leaf.size() <= 55) KB_FUZZ_CHECK(fileName == leaf, Show(fileName) + " of " + Show(text));
    else KB_FUZZ_CHECK(IsPrefix(fileName, leaf) && fileName.size() == 55, Show(fileName));
  }

  // DisplayNameOf: the leaf up to its first dot, at most 254 characters.
  const std::string shown = DisplayNameOf(text);
  std::string leaf = AfterLastBackslash(text);
  const std::string expectedShown = leaf.substr(0, leaf.find('.'));
  KB_FUZZ_CHECK(shown.size() <= 254, Show(shown));
  if (expectedShown.size() <= 254) KB_FUZZ_CHECK(shown == expectedShown, Show(shown) + " of " + Show(text));
  else KB_FUZZ_CHECK(shown.size() == 254 && IsPrefix(shown, expectedShown), Show(shown));

  // ExtensionOf: after the last dot of the whole text, or the whole text; at most 254.
  const std::string extension = ExtensionOf(text);
  const size_t dot = text.rfind('.');
  const std::string expectedExtension = dot == std::string::npos ? text : text.substr(dot + 1);
  KB_FUZZ_CHECK(extension.size() <= 254, Show(extension));
  if (expectedExtension.size() <= 254) KB_FUZZ_CHECK(extension == expectedExtension, Show(extension));
  else KB_FUZZ_CHECK(extension.size() == 254 && IsPrefix(extension, expectedExtension), Show(extension));

  const char drive = DriveLetterOf(text);
  KB_FUZZ_CHECK(drive == (text.size() >= 2 && text[1] == ':' ? text[0] : '\\'), Show(text));

  KB_FUZZ_CHECK(EndsWithBackslash(text) == (!text.empty() && text.back() == '\\'), Show(text));
  return 0;
}

}  // namespace kb_fuzz

KB_FUZZ_ENTRY(SendToTextTarget)
