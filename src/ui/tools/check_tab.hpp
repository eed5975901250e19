#pragma once
// 检查: every entry of a script measured against the tables, the original
// byte counts and the box limits, as `quillmere-cli check` does; the
// failing entries in a table (address, line, message), the entry's text on
// a double-click.

#include <QStringList>
#include <QWidget>

#include "ui/tools/tools_context.hpp"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;

namespace quillmere::ui {

class CheckTab : public QWidget {
    Q_OBJECT

public:
    explicit CheckTab(ToolsContext context, QWidget* parent = nullptr);

private:
    void check();
    void show_entry(int row);

    ToolsContext context_;
    QLineEdit *script_, *range_low_, *range_high_, *line_break_, *page_break_, *widths_;
    QCheckBox* all_;
    QSpinBox *max_chars_, *max_lines_, *max_width_, *default_width_;
    QLineEdit *pointers_, *free_, *align_;
    QTableWidget* problems_;
    QListWidget* moves_;
    QPlainTextEdit* entry_;
    // The script's lines as the last check read them, for the entry's text.
    QStringList lines_;
};

}  // namespace quillmere::ui
