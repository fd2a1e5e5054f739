#pragma once
// The 32-bit checksum of the "Sys Info" texts that decides, on closing, whether to ask "Save ?".
#include <cstddef>
#include <cstdint>
#include <string>

// XOR of each byte, taken as signed 8-bit and sign-extended, times its 1-based position; products
// wrap modulo 2^32. The empty text gives 0.
int32_t ComputeChecksum(const char* text, size_t length);
inline int32_t ComputeChecksum(const std::string& text) { return ComputeChecksum(text.data(), text.size()); }
