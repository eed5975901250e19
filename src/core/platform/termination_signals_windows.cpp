#include "core/platform/termination_signals.hpp"
#include "core/platform/windows_api.hpp"

namespace quillmere::platform {
namespace {

// A console control handler runs on a thread of its own and can reach
// nothing but process-wide state: the one event it sets.
HANDLE request_event = nullptr;

BOOL WINAPI on_console_control(DWORD event) {
    switch (event) {
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            ::SetEvent(request_event);
            // Returning lets the system end the process at once; waiting
            // here gives the program the moments the system allows to save
            // and end by itself, which ends this thread too.
            ::Sleep(INFINITE);
            return TRUE;
        default:
            return FALSE;  // Ctrl+C and Ctrl+Break keep their default action
    }
}

}  // namespace

std::intptr_t watch_termination_requests() {
    if (request_event != nullptr) return windows::value_of(request_event);
    request_event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (request_event == nullptr) return -1;
    if (::SetConsoleCtrlHandler(on_console_control, TRUE) == 0) return -1;
    return windows::value_of(request_event);
}

void drain_termination_requests() {
    if (request_event != nullptr) ::ResetEvent(request_event);
}

}  // namespace quillmere::platform
