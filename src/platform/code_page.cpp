#include "platform/code_page.h"

#include <cstring>

#include "platform/system_api.h"

CodePage::CodePage(SystemApi& system) {
  // Lead bytes all lie above 0x7F: the first half of every code page is plain ASCII.
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte)
    lead_[byte] = system.IsDBCSLeadByte(static_cast<unsigned char>(byte));
}

size_t CodePage::CharLength(const std::string& text, size_t at) const {
  return lead_[static_cast<unsigned char>(text[at])] && at + 1 < text.size() ? 2 : 1;
}

size_t CodePage::FindLast(const std::string& text, char c) const {
  size_t found = std::string::npos;
  for (size_t at = 0; at < text.size(); at += CharLength(text, at)) {
    if (CharLength(text, at) == 1 && text[at] == c) found = at;
  }
  return found;
}

size_t CodePage::FindFirstOf(const std::string& text, const char* set) const {
  for (size_t at = 0; at < text.size(); at += CharLength(text, at)) {
    if (CharLength(text, at) == 1 && text[at] != '\0' && std::strchr(set, text[at])) return at;
  }
  return std::string::npos;
}

bool CodePage::EndsWith(const std::string& text, char c) const {
  return !text.empty() && FindLast(text, c) == text.size() - 1;
}

std::string CodePage::Cut(const std::string& text, size_t bytes) const {
  size_t end = 0;
  while (end < text.size() && end + CharLength(text, end) <= bytes) end += CharLength(text, end);
  return text.substr(0, end);
}
