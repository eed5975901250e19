#include "core/commands/shut_down_requests.hpp"

#include "core/platform/termination_signals.hpp"

namespace quillmere {

std::intptr_t watch_shut_down_requests() { return platform::watch_termination_requests(); }
void drain_shut_down_requests() { platform::drain_termination_requests(); }

}  // namespace quillmere
