#include "pages/sendto/text_rules.h"

namespace {

std::string CutTo(const std::string& text, size_t buffer) { return text.substr(0, buffer - 1); }

std::string AfterLastBackslash(const std::string& text) {
  const size_t slash = text.rfind('\\');
  return slash == std::string::npos ? text : text.substr(slash + 1);
}

}  // namespace

std::string FileNameOf(const std::string& path) {
  return CutTo(AfterLastBackslash(CutTo(path, text_rules::kPathCopyBuffer)), text_rules::kFileNameBuffer);
}

std::string DisplayNameOf(const std::string& text) {
  // The name a line shows is not limited to what FileNameOf's small buffer holds: only the
  // shown name's own buffer bounds it.
  const std::string name = AfterLastBackslash(text);
  return CutTo(name.substr(0, name.find('.')), text_rules::kNameBuffer);
}

std::string ExtensionOf(const std::string& path) {
  const size_t dot = path.rfind('.');
  return CutTo(dot == std::string::npos ? path : path.substr(dot + 1), text_rules::kNameBuffer);
}

char DriveLetterOf(const std::string& path) { return path.size() >= 2 && path[1] == ':' ? path[0] : '\\'; }

bool EndsWithBackslash(const std::string& text) { return !text.empty() && text.back() == '\\'; }
