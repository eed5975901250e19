#pragma once
// The tools window's choices kept between runs: one "NAME=VALUE" line per
// named control (a box's text, a list's choice, a tick, a number), in a
// file of its own in the data directory, GBK with CR LF like the others.

#include <QString>
#include <filesystem>
#include <map>

#include "core/commands/command_result.hpp"

class QWidget;

namespace quillmere::ui {

using ToolsSettings = std::map<QString, QString>;

std::filesystem::path tools_settings_file(const std::filesystem::path& data_dir);

// A missing or unreadable file gives no settings; lines without "=" are
// passed over.
ToolsSettings read_tools_settings(const std::filesystem::path& file);
// Replaces the file whole, through the safe writer. A value the encoding
// cannot hold is left out rather than failing the rest.
CommandResult<> write_tools_settings(const std::filesystem::path& file, const ToolsSettings& settings);

// The values of the named line boxes, lists, ticks and numbers under `root`;
// controls under a widget whose "transient" property is set are left out.
ToolsSettings settings_of(const QWidget& root);
void apply_settings(QWidget& root, const ToolsSettings& settings);

}  // namespace quillmere::ui
