#pragma once
// How a front end stops a command that runs on another thread: the command
// asks once its work is done and before it replaces the first file, so a
// stopped command writes nothing. The command line never stops one.

#include <functional>

namespace quillmere {

using CancelCheck = std::function<bool()>;

inline bool cancel_requested(const CancelCheck& check) { return check && check(); }

}  // namespace quillmere
