#include "ui/qt_text.hpp"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace quillmere::ui {

QString to_editor_text(std::u16string_view text) {
    QString shown;
    shown.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r') {
            shown += u'\n';
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            shown += QChar(c);
        }
    }
    return shown;
}

std::u16string editor_text(const QPlainTextEdit& editor) {
    // The raw text separates blocks with U+2029 and keeps every other
    // character as typed (toPlainText would turn no-break spaces into spaces).
    const QString raw = editor.document()->toRawText();
    std::u16string text;
    text.reserve(static_cast<std::size_t>(raw.size()) + static_cast<std::size_t>(editor.document()->blockCount()));
    for (QChar c : raw) {
        if (c == QChar::ParagraphSeparator || c == u'\n') {
            text += u"\r\n";
        } else {
            text += c.unicode();
        }
    }
    return text;
}

void set_editor_text(QPlainTextEdit& editor, std::u16string_view text) { editor.setPlainText(to_editor_text(text)); }

std::u16string line_text(const QLineEdit& box) { return to_core(box.text()); }

}  // namespace quillmere::ui
