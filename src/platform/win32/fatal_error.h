#pragma once
// The last word of a program that the C run-time ends: abort(), and an exception that reaches
// std::terminate (whose default handler aborts). The run-time's own message goes to a console a
// windowed program does not have, and crtdll.dll, unlike msvcrt.dll, is never told that the
// program has windows; so the user would see the window vanish and nothing else. This shows a
// box, owned by no window, before the program ends as abort() ends it (exit code 3).

// Installs the box; the texts must live as long as the program.
void InstallFatalErrorBox(const char* caption, const char* text);
