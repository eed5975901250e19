#include "core/platform/windows_api.hpp"
// After windows.h, which it needs.
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>

#include "core/platform/console.hpp"

namespace quillmere::platform {
namespace {

std::string utf8_of(const wchar_t* wide) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), size, nullptr, nullptr);
    utf8.pop_back();  // the terminating NUL
    return utf8;
}

std::wstring wide_of(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int length = static_cast<int>(std::min<std::size_t>(utf8.size(), 1u << 30));
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), size);
    return wide;
}

}  // namespace

std::vector<std::string> utf8_arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(utf8_of(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void use_binary_standard_output() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

bool write_standard_error(std::string_view utf8) {
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0;
    if (::GetConsoleMode(error, &mode) != 0) {
        std::wstring wide = wide_of(utf8);
        std::wstring_view rest = wide;
        while (!rest.empty()) {
            DWORD put = 0;
            const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 8192));
            if (::WriteConsoleW(error, rest.data(), piece, &put, nullptr) == 0 || put == 0) return false;
            rest.remove_prefix(put);
        }
        return true;
    }
    while (!utf8.empty()) {
        DWORD put = 0;
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(utf8.size(), windows::kLargestPiece));
        if (::WriteFile(error, utf8.data(), piece, &put, nullptr) == 0 || put == 0) return false;
        utf8.remove_prefix(put);
    }
    return true;
}

}  // namespace quillmere::platform
