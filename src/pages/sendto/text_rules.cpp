#include "pages/sendto/text_rules.h"

namespace {

std::string CutTo(const std::string& text, size_t buffer, const CodePage& codePage) {
  return codePage.Cut(text, buffer - 1);
}

}  // namespace

std::string LeafOf(const std::string& text, const CodePage& codePage) {
  const size_t slash = codePage.FindLast(text, '\\');
  return slash == std::string::npos ? text : text.substr(slash + 1);
}

std::string FileNameOf(const std::string& path, const CodePage& codePage) {
  return CutTo(LeafOf(CutTo(path, text_rules::kPathCopyBuffer, codePage), codePage), text_rules::kFileNameBuffer,
               codePage);
}

std::string DisplayNameOf(const std::string& text, const CodePage& codePage) {
  // The name a line shows is not limited to what FileNameOf's small buffer holds: only the
  // shown name's own buffer bounds it.
  const std::string name = LeafOf(text, codePage);
  return CutTo(name.substr(0, codePage.FindFirstOf(name, ".")), text_rules::kNameBuffer, codePage);
}

std::string ExtensionOf(const std::string& path, const CodePage& codePage) {
  const size_t dot = codePage.FindLast(path, '.');
  return CutTo(dot == std::string::npos ? path : path.substr(dot + 1), text_rules::kNameBuffer, codePage);
}

char DriveLetterOf(const std::string& path) { return path.size() >= 2 && path[1] == ':' ? path[0] : '\\'; }

bool EndsWithBackslash(const std::string& text, const CodePage& codePage) { return codePage.EndsWith(text, '\\'); }
