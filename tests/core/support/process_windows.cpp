#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "core/support/process.hpp"

namespace quillmere::testing {
namespace {

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

// One argument as the C runtime's parser takes it back: in quotes, with
// backslashes doubled only before a quote.
void append_quoted(std::wstring& line, const std::wstring& arg) {
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') backslashes = backslashes * 2 + 1;
        line.append(backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

HANDLE inheritable_file(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

RunningProgram::RunningProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                               const std::filesystem::path& out, const std::filesystem::path& err) {
    std::wstring line;
    append_quoted(line, program.wstring());
    for (const std::string& arg : args) {
        line += L' ';
        append_quoted(line, wide(arg));
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.empty() ? ::GetStdHandle(STD_OUTPUT_HANDLE) : inheritable_file(out);
    startup.hStdError = err.empty() ? ::GetStdHandle(STD_ERROR_HANDLE) : inheritable_file(err);
    PROCESS_INFORMATION process{};
    started_ = ::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                &process) != 0;
    if (!out.empty()) ::CloseHandle(startup.hStdOutput);
    if (!err.empty()) ::CloseHandle(startup.hStdError);
    if (!started_) return;
    ::CloseHandle(process.hThread);
    process_ = reinterpret_cast<std::intptr_t>(process.hProcess);
}

RunningProgram::~RunningProgram() {
    if (started_ && !ended_) {
        kill();
        static_cast<void>(wait());
    }
    if (started_) ::CloseHandle(reinterpret_cast<HANDLE>(process_));
}

void RunningProgram::kill() {
    if (started_ && !ended_) ::TerminateProcess(reinterpret_cast<HANDLE>(process_), kKilledStatus);
}

ProgramEnd RunningProgram::wait() {
    if (!started_ || ended_) return end_;
    const HANDLE process = reinterpret_cast<HANDLE>(process_);
    ::WaitForSingleObject(process, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(process, &status);
    ended_ = true;
    end_ = {status == kKilledStatus, static_cast<int>(status)};
    return end_;
}

void kill_this_process() {
    ::TerminateProcess(::GetCurrentProcess(), kKilledStatus);
    ::ExitProcess(kKilledStatus);
}

}  // namespace quillmere::testing
