#include "platform/app_error.h"

namespace {

// The format's one conversion replaced by the text. The program's formats are its own constants
// with exactly one conversion each, so no printf is needed, nor linked: the C library's printf
// brings its floating-point conversions, which this program never uses.
std::string Substitute(const char* format, const char* conversion, const std::string& text) {
  std::string out = format;
  const size_t at = out.find(conversion);
  return at == std::string::npos ? out : out.replace(at, 2, text);
}

}  // namespace

// As printf would, the text ends at its first zero byte.
std::string FormatText(const char* format, const std::string& arg) { return Substitute(format, "%s", arg.c_str()); }

std::string FormatNumber(const char* format, int value) { return Substitute(format, "%d", std::to_string(value)); }
