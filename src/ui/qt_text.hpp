#pragma once
// Between the window's Qt strings and the core's texts and paths.

#include <QString>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

class QFont;
class QLineEdit;
class QPlainTextEdit;
class QTextDocument;
class QThread;

namespace quillmere::ui {

inline std::u16string to_core(const QString& text) { return text.toStdU16String(); }
inline QString to_qt(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::filesystem::path to_path(const QString& text) { return std::filesystem::path(text.toStdU16String()); }

// A multi-line box shows lines; the core sees them ended by CR LF, as in the
// files it reads and writes.
QString to_editor_text(std::u16string_view text);
// The core's text of an editor's raw text (QTextDocument::toRawText): any
// thread may convert it, so a large text is taken on the window's thread
// and converted elsewhere.
std::u16string core_text(const QString& raw);
std::u16string editor_text(const QPlainTextEdit& editor);
void set_editor_text(QPlainTextEdit& editor, std::u16string_view text);

// A document for a QPlainTextEdit holding `text`, as set_editor_text would
// fill the editor, built on any thread and handed to `owner` (the window's
// thread) for show_document. The text (a whole ROM's export runs to 90 MB)
// is converted `piece` characters at a time and freed once it is in.
std::unique_ptr<QTextDocument> editor_document(std::u16string text, const QFont& font, QThread* owner,
                                               std::size_t piece = std::size_t{1} << 20);
// On the window's thread: the editor shows `document` from now on and owns
// it; the document it showed before is deleted.
void show_document(QPlainTextEdit& editor, std::unique_ptr<QTextDocument> document);

std::u16string line_text(const QLineEdit& box);

}  // namespace quillmere::ui
