#pragma once
// What the "Uninstall" page's handlers share: where the registrations live, the walk to them,
// the registry error box and the questions.
#include <string>

#include "platform/code_page.h"
#include "platform/registry_access.h"
#include "platform/system_api.h"

namespace uninstall_page {

// Below HKEY_LOCAL_MACHINE; one subkey per registered program.
constexpr const char* kUninstallPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kDisplayName = "DisplayName";
constexpr const char* kUninstallString = "UninstallString";

// The questions are composed for a box of at most this many characters.
constexpr size_t kQuestionLimit = 255;

// Opens the Uninstall key piece by piece from wherever the object stands; false as soon as a
// piece does not open.
bool OpenUninstallKey(RegistryAccess& registry);

// Opens the registration of one program: the Uninstall key, then that subkey inside it. False
// when either is missing, and for a name that is not a single key name (empty, or with a
// backslash that would walk somewhere else; read by character, as 表 ends in the byte 0x5C).
bool OpenRegistration(RegistryAccess& registry, const std::string& keyName, const CodePage& codePage);

// "There was an error while accessing the registry !", owned by no window.
void ShowRegistryError(SystemApi& system);

// head + name + tail, cut to kQuestionLimit characters by shortening the name (marked with
// "...") so that the question, or any box text, always ends as composed.
std::string ComposeQuestion(const std::string& head, const std::string& name, const std::string& tail);

}  // namespace uninstall_page
