#pragma once
// The one kind of error the program raises: it carries the text the user is shown by the
// application error report. Handlers never catch it; the event dispatcher does.
#include <stdexcept>
#include <string>

class AppError : public std::runtime_error {
 public:
  explicit AppError(const std::string& message) : std::runtime_error(message) {}
};

// A message composed as printf would make it from a format with one text conversion ("Failed to
// set data for '%s'").
std::string FormatText(const char* format, const std::string& arg);
// The same with one integer conversion ("List index out of bounds (%d)").
std::string FormatNumber(const char* format, int value);
