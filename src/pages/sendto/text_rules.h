#pragma once
// The text rules of the "Send to" page: how a path is taken apart into the name a line shows,
// the extension a rename keeps and the drive a per-user folder lives on. Each result is held
// to the size of the fixed buffer it has always lived in and is cut there, never overrun;
// callers that turn a result into a file path check that nothing was cut. Separators are found
// by character in the code page given (the program always gives the system's), never inside a
// two-byte character.
#include <cstddef>
#include <string>

#include "platform/code_page.h"

namespace text_rules {
// Buffer sizes, the terminating zero included.
constexpr size_t kPathCopyBuffer = 256;  // FileNameOf's working copy of its path
constexpr size_t kFileNameBuffer = 56;   // FileNameOf's result
constexpr size_t kNameBuffer = 255;      // DisplayNameOf's and ExtensionOf's results
}  // namespace text_rules

// The part after the last backslash; the whole text when there is none.
std::string FileNameOf(const std::string& path, const CodePage& codePage = CodePage());
// The file name of the text, cut before its first dot ("My.Tools.lnk" shows as "My").
std::string DisplayNameOf(const std::string& text, const CodePage& codePage = CodePage());
// The text after the last dot of the whole text, which may stand in a folder name; the whole
// text when it holds no dot.
std::string ExtensionOf(const std::string& path, const CodePage& codePage = CodePage());
// The first character when the second is a colon; otherwise a backslash.
char DriveLetterOf(const std::string& path);
// True when the last character is a backslash; false for the empty text.
bool EndsWithBackslash(const std::string& text, const CodePage& codePage = CodePage());
// The part after the last backslash, whole.
std::string LeafOf(const std::string& path, const CodePage& codePage);
