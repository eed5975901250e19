#include "ui/tools/script_places.hpp"

#include <QRegularExpression>

namespace quillmere::ui {

QStringList script_lines(const QString& text) {
    static const QRegularExpression ends(QStringLiteral("\r\n|\n|\r"));
    return text.split(ends);
}

std::optional<ScriptPlace> place_of(const QString& message, const QStringList& lines) {
    for (int i = 0; i < lines.size(); ++i) {
        const qsizetype comma = lines[i].indexOf(u',');
        if (comma <= 0) continue;
        const QString address = lines[i].left(comma);
        // "10行…" names entry 10, and never entry 1.
        if (message.startsWith(address + u'行')) return ScriptPlace{address, i + 1};
    }
    return std::nullopt;
}

}  // namespace quillmere::ui
