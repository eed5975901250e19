#include "ui/qt_text.hpp"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "core/text/large_buffer.hpp"

namespace quillmere::ui {

namespace {

// An editor keeps one text block per paragraph, and building millions of
// blocks is what makes a whole ROM's export slow to show. Lines are grouped
// into paragraphs of kLinesPerBlock, separated inside by line separators,
// which the editor shows and edits as ordinary line breaks.
constexpr int kLinesPerBlock = 64;
constexpr char16_t kLineSeparator = 0x2028;

}  // namespace

QString to_editor_text(std::u16string_view text) {
    QString shown(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(shown.data());
    char16_t* const begin = out;
    int lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'\r') {
            *out++ = c;
            continue;
        }
        *out++ = ++lines % kLinesPerBlock == 0 ? u'\n' : kLineSeparator;
        if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    }
    shown.truncate(static_cast<qsizetype>(out - begin));
    return shown;
}

std::u16string editor_text(const QPlainTextEdit& editor) {
    // The raw text separates blocks with U+2029 and keeps every other
    // character as typed (toPlainText would turn no-break spaces into spaces).
    const QString raw = editor.document()->toRawText();
    const auto is_break = [](char16_t u) { return u == QChar::ParagraphSeparator || u == kLineSeparator || u == u'\n'; };
    const std::u16string_view chars(reinterpret_cast<const char16_t*>(raw.utf16()), static_cast<std::size_t>(raw.size()));
    std::size_t breaks = 0;
    for (char16_t u : chars) breaks += is_break(u) ? 1 : 0;
    std::u16string text;
    text::reserve_large(text, chars.size() + breaks);
    for (char16_t u : chars) {
        if (is_break(u)) {
            text += u"\r\n";
        } else {
            text += u;
        }
    }
    return text;
}

void set_editor_text(QPlainTextEdit& editor, std::u16string_view text) { editor.setPlainText(to_editor_text(text)); }

std::u16string line_text(const QLineEdit& box) { return to_core(box.text()); }

}  // namespace quillmere::ui
