#pragma once
// The one shape of every command's result: the message to show (severity,
// title, text) and what the command made for its front end to use.

#include "core/commands/message.hpp"
#include "core/expected.hpp"

namespace quillmere {

template <class Payload = Done>
struct [[nodiscard]] CommandResult {
    Message message;
    Payload payload{};

    bool failed() const { return message.severity == Severity::error; }
};

}  // namespace quillmere
