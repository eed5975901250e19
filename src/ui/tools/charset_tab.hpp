#pragma once
// 字库: a new double-byte code table for the characters of a translation,
// the added characters, and a font sheet, as `quillmere-cli charset` makes
// them; the new table shown, the sheet shown as an image with the code and
// character of the cell under the mouse.

#include <QLabel>
#include <QWidget>

#include "core/commands/charset_command.hpp"
#include "ui/tools/tools_context.hpp"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace quillmere::ui {

// The sheet: it names the cell under the mouse.
class SheetView : public QLabel {
    Q_OBJECT

public:
    explicit SheetView(QWidget* parent = nullptr);
    void show_sheet(const QPixmap& sheet, const CharsetPayload& cells);
    // "CODE=字" of the cell at `point`, or empty outside the cells.
    QString cell_at(QPoint point) const;

Q_SIGNALS:
    void cell_hovered(const QString& cell);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    CharsetPayload cells_;
};

class CharsetTab : public QWidget {
    Q_OBJECT

public:
    explicit CharsetTab(ToolsContext context, QWidget* parent = nullptr);

private:
    void make();
    void show_result(const CommandResult<CharsetPayload>& result, const QString& sheet_file);

    ToolsContext context_;
    QLineEdit *script_, *keep_, *start_code_, *skip_, *trail_;
    QComboBox* order_;
    QLineEdit *out_, *chars_, *sheet_, *glyph_, *font_;
    QSpinBox* columns_;
    QPlainTextEdit* table_;
    SheetView* sheet_view_;
    QLabel* cell_;
};

}  // namespace quillmere::ui
