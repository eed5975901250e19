#pragma once
// 查找: where a word stands in a ROM, by one of the four searches of
// `quillmere-cli find`; the places in a table, and the code table a chosen
// place makes written to a file.

#include <QWidget>

#include "core/commands/find_command.hpp"
#include "ui/tools/tools_context.hpp"

class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace quillmere::ui {

class FindTab : public QWidget {
    Q_OBJECT

public:
    explicit FindTab(ToolsContext context, QWidget* parent = nullptr);

private:
    // The request of the controls; the text search takes the shared tables.
    Expected<FindRequest, Message> request() const;
    void find();
    void make_table();
    void run(FindRequest request, bool list_places);

    ToolsContext context_;
    QComboBox* mode_;
    QLineEdit *text_, *sequence_, *values_, *range_;
    QSpinBox *width_, *max_;
    QComboBox* order_;
    QTableWidget* hits_;
    QLineEdit* table_file_;
};

}  // namespace quillmere::ui
