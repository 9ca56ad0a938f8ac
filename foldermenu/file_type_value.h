// The file type that ".fit" maps to, taken from the raw default value of
// HKEY_CLASSES_ROOT\.fit. No Windows types: tested natively.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Registry value types (the platform's REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ).
constexpr uint32_t kValueString = 1;
constexpr uint32_t kValueExpandString = 2;
constexpr uint32_t kValueMultiString = 7;

// The value is read into this many bytes: 39 characters and the terminator.
constexpr size_t kFileTypeBufferSize = 40;

// The file type held by a value of `type` made of `size` bytes at `data`.
// False unless the value is a string of at most kFileTypeBufferSize bytes
// that ends in its terminator (a multi-string in two), and its first string
// is a usable key name: not empty and without a backslash, either of which
// would put the handler key somewhere else.
bool FileTypeFromValue(uint32_t type, const uint8_t* data, size_t size, std::string* fileType);
