#pragma once
// The 32-bit checksum of the "Sys Info" texts, kept as SettingsChecksum at every snapshot. Equal
// checksums do not prove equal texts (ab and cc sum alike), so whether closing asks "Save ?" is
// decided by TfrmMain::SettingsChanged, which also compares the snapshot texts.
#include <cstddef>
#include <cstdint>
#include <string>

// XOR of each byte, taken as signed 8-bit and sign-extended, times its 1-based position; products
// wrap modulo 2^32. The empty text gives 0.
int32_t ComputeChecksum(const char* text, size_t length);
inline int32_t ComputeChecksum(const std::string& text) { return ComputeChecksum(text.data(), text.size()); }
