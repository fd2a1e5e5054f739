#pragma once
// The application error report: the one box in which every error that escapes an event handler,
// the window's creation or the start-up code ends. Afterwards the program takes the next event.
#include <functional>
#include <string>

#include "platform/system_api.h"

constexpr const char* kApplicationTitle = "Keelbrook 2003";
// What the program says when the C run-time ends it, which no handler can catch.
constexpr const char* kFatalErrorText = "Keelbrook 2003 met an error it cannot recover from\nand must close.";

// The message as the report shows it: a full stop is added when the last character's code is
// above that of "." (so a sentence ending in a letter gets one, "'", "!" or ")" do not).
std::string ErrorReportText(const std::string& message);

// Runs one handler to its end. A raised error stops the handler where it was raised and is shown
// in the report box; nothing escapes. Returns true when the handler ran without error.
bool RunHandler(SystemApi& system, const std::function<void()>& handler);
