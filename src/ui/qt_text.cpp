#include "ui/qt_text.hpp"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <bit>
#include <cstdint>
#include <cstring>

#include "core/memory/large_buffer.hpp"

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
    platform::advise_huge_pages(out, text.size() * sizeof(char16_t));
    const char16_t* in = text.data();
    const char16_t* const end = in + text.size();
    int lines = 0;
    while (in < end) {
        if constexpr (std::endian::native == std::endian::little) {
            // Four characters at a time up to the next CR: the text runs to
            // tens of megabytes. The output never runs ahead of the input,
            // so copying all four before looking stays inside the string.
            constexpr std::uint64_t kCrs = 0x000D000D000D000D, kOnes = 0x0001000100010001, kHigh = 0x8000800080008000;
            while (end - in >= 4) {
                std::uint64_t four;
                std::memcpy(&four, in, sizeof four);
                std::memcpy(out, &four, sizeof four);
                const std::uint64_t x = four ^ kCrs;
                const std::uint64_t crs = (x - kOnes) & ~x & kHigh;  // the lowest set lane is the first CR
                if (crs == 0) {
                    in += 4;
                    out += 4;
                    continue;
                }
                const int before = std::countr_zero(crs) / 16;
                in += before;
                out += before;
                break;
            }
            if (in == end) break;
        }
        const char16_t c = *in++;
        if (c != u'\r') {
            *out++ = c;
            continue;
        }
        *out++ = ++lines % kLinesPerBlock == 0 ? u'\n' : kLineSeparator;
        if (in < end && *in == u'\n') ++in;
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
    memory::reserve_large(text, chars.size() + breaks);
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
