#include "platform/app_error.h"

#include <cstdio>
#include <vector>

std::string FormatText(const char* format, const std::string& arg) {
  int n = std::snprintf(nullptr, 0, format, arg.c_str());
  if (n <= 0) return std::string();
  std::vector<char> buf(static_cast<size_t>(n) + 1);
  std::snprintf(buf.data(), buf.size(), format, arg.c_str());
  return std::string(buf.data(), static_cast<size_t>(n));
}

std::string FormatNumber(const char* format, int value) {
  char buf[64];
  int n = std::snprintf(buf, sizeof buf, format, value);
  return n > 0 ? std::string(buf) : std::string();
}
