#pragma once
// The Windows API for the *_windows.cpp files of this folder, and the
// conversions they share. Only this folder includes it.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>

namespace quillmere::platform::windows {

inline HANDLE handle_of(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }
inline std::intptr_t value_of(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }
// What the headers keep for "no handle": -1, which is INVALID_HANDLE_VALUE.
inline bool is_open(std::intptr_t value) { return handle_of(value) != INVALID_HANDLE_VALUE && value != 0; }

// ReadFile and WriteFile take at most a DWORD of bytes at once.
inline constexpr DWORD kLargestPiece = DWORD{1} << 30;

}  // namespace quillmere::platform::windows
