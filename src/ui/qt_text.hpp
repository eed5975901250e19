#pragma once
// Between the window's Qt strings and the core's texts and paths.

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

class QLineEdit;
class QPlainTextEdit;

namespace quillmere::ui {

inline std::u16string to_core(const QString& text) { return text.toStdU16String(); }
inline QString to_qt(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::filesystem::path to_path(const QString& text) { return std::filesystem::path(text.toStdU16String()); }

// A multi-line box shows lines; the core sees them ended by CR LF, as in the
// files it reads and writes.
QString to_editor_text(std::u16string_view text);
std::u16string editor_text(const QPlainTextEdit& editor);
void set_editor_text(QPlainTextEdit& editor, std::u16string_view text);

std::u16string line_text(const QLineEdit& box);

}  // namespace quillmere::ui
