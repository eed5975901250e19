#pragma once
// 码表: a code table made for other tools converted into the tool's two
// tables and two filter lists, as `quillmere-cli convert-table` does.

#include <QWidget>

#include "ui/tools/tools_context.hpp"

class QComboBox;
class QLineEdit;
class QListWidget;

namespace quillmere::ui {

class TableTab : public QWidget {
    Q_OBJECT

public:
    explicit TableTab(ToolsContext context, QWidget* parent = nullptr);

private:
    void convert();

    ToolsContext context_;
    QLineEdit* source_;
    QComboBox *source_encoding_, *out_encoding_;
    QLineEdit *table1_, *table2_, *filter1_, *filter2_;
    QListWidget* report_;
};

}  // namespace quillmere::ui
