#include "ui/qt_text.hpp"

#include <QLineEdit>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace quillmere::ui {

namespace {

// An editor keeps one text block per paragraph, and building millions of
// blocks is what makes a whole ROM's export slow to show. Lines are grouped
// into paragraphs of kLinesPerBlock, separated inside by line separators,
// which the editor shows and edits as ordinary line breaks.
constexpr int kLinesPerBlock = 64;
constexpr char16_t kLineSeparator = 0x2028;

// Writes the editor's form of `text` from `begin` on, which has room for as many
// characters; `lines` counts the lines ended so far, across calls. Returns
// the characters written.
std::size_t convert_lines(std::u16string_view text, char16_t* const begin, int& lines) {
    char16_t* out = begin;
    const char16_t* in = text.data();
    const char16_t* const end = in + text.size();
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
    return static_cast<std::size_t>(out - begin);
}

// The length of the next piece of `rest`: `piece` characters, or a few
// more so that no CR LF and no surrogate pair is cut in two.
std::size_t next_piece(std::u16string_view rest, std::size_t piece) {
    std::size_t length = std::min(piece, rest.size());
    while (length < rest.size() &&
           ((rest[length - 1] == u'\r' && rest[length] == u'\n') || QChar::isHighSurrogate(rest[length - 1])))
        ++length;
    return length;
}

}  // namespace

QString to_editor_text(std::u16string_view text) {
    QString shown(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    int lines = 0;
    shown.truncate(static_cast<qsizetype>(convert_lines(text, reinterpret_cast<char16_t*>(shown.data()), lines)));
    return shown;
}

std::u16string core_text(const QString& raw) {
    // The raw text separates blocks with U+2029 and keeps every other
    // character as typed (toPlainText would turn no-break spaces into spaces).
    const auto is_break = [](char16_t u) { return u == QChar::ParagraphSeparator || u == kLineSeparator || u == u'\n'; };
    const std::u16string_view chars(reinterpret_cast<const char16_t*>(raw.utf16()), static_cast<std::size_t>(raw.size()));
    std::size_t breaks = 0;
    for (char16_t u : chars) breaks += is_break(u) ? 1 : 0;
    std::u16string text(chars.size() + breaks, u'\0');
    char16_t* out = text.data();
    for (char16_t u : chars) {
        if (is_break(u)) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = u;
        }
    }
    return text;
}

std::u16string editor_text(const QPlainTextEdit& editor) { return core_text(editor.document()->toRawText()); }

void set_editor_text(QPlainTextEdit& editor, std::u16string_view text) { editor.setPlainText(to_editor_text(text)); }

std::unique_ptr<QTextDocument> editor_document(std::u16string text, const QFont& font, QThread* owner,
                                               std::size_t piece) {
    auto document = std::make_unique<QTextDocument>();
    // The layout QPlainTextEdit requires; the document owns it.
    document->setDocumentLayout(new QPlainTextDocumentLayout(document.get()));
    document->setDefaultFont(font);
    document->setUndoRedoEnabled(false);
    // Converted piece by piece into one small buffer: the document's own
    // copy is then the only large one the text is written to, which halves
    // the memory it passes through (and the page faults of filling it).
    QTextCursor cursor(document.get());
    cursor.beginEditBlock();
    QString shown;
    int lines = 0;
    for (std::u16string_view rest = text; !rest.empty();) {
        const std::size_t length = next_piece(rest, std::max<std::size_t>(piece, 1));
        shown.resize(static_cast<qsizetype>(length));
        const std::size_t written = convert_lines(rest.substr(0, length), reinterpret_cast<char16_t*>(shown.data()),
                                                  lines);
        shown.truncate(static_cast<qsizetype>(written));
        cursor.insertText(shown);
        rest.remove_prefix(length);
    }
    cursor.endEditBlock();
    std::u16string().swap(text);
    document->setUndoRedoEnabled(true);
    document->setModified(false);
    document->moveToThread(owner);
    return document;
}

void show_document(QPlainTextEdit& editor, std::unique_ptr<QTextDocument> document) {
    // The editor deletes the document it made itself, not one it was given.
    const QPointer<QTextDocument> previous = editor.document();
    const bool given_before = previous && previous->parent() == &editor;
    document->setParent(&editor);
    editor.setDocument(document.release());
    if (given_before && previous) delete previous.data();
}

std::u16string line_text(const QLineEdit& box) { return to_core(box.text()); }

}  // namespace quillmere::ui
