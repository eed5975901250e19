#pragma once
// What every tab of the tools window works with.

#include <functional>

#include "core/commands/message.hpp"

namespace quillmere::ui {

class FileDialogs;
class SharedPanel;
class ToolRunner;

struct ToolsContext {
    FileDialogs& dialogs;
    ToolRunner& runner;
    SharedPanel& shared;
    // Shows a command's message under the tabs, as the command line prints it.
    std::function<void(const Message&)> show;
};

}  // namespace quillmere::ui
