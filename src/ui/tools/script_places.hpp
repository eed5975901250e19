#pragma once
// Where a command's message about an entry points in the script: the
// messages name an entry by its address, and the window shows the line
// that holds it.

#include <QStringList>
#include <optional>

namespace quillmere::ui {

struct ScriptPlace {
    QString address;
    int line = 0;  // 1-based
};

// The script's lines, as the commands split them (CR LF, LF or CR).
QStringList script_lines(const QString& text);
// The first line whose address (the text before its first comma), followed
// by "行", starts `message`; nullopt when none does.
std::optional<ScriptPlace> place_of(const QString& message, const QStringList& lines);

}  // namespace quillmere::ui
