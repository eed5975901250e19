#pragma once
// 协作: a script carried to PO, CSV or ParaTranz JSON for a translation team,
// with the box limits in every unit's note (`quillmere-cli exchange
// export`), and the team's file back into a translation script (`exchange
// import`). The scripts' encoding is the shared one.

#include <QWidget>

#include "core/commands/exchange_command.hpp"
#include "ui/tools/tools_context.hpp"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace quillmere::ui {

class ExchangeTab : public QWidget {
    Q_OBJECT

public:
    explicit ExchangeTab(ToolsContext context, QWidget* parent = nullptr);

private:
    void export_units();
    void import_units();
    void run(std::function<CommandResult<ExchangePayload>(const CancelCheck&)> command);

    ToolsContext context_;
    QLineEdit *script_, *translation_, *out_;
    QComboBox *export_format_, *csv_encoding_;
    QLineEdit *line_break_, *page_break_, *widths_;
    QSpinBox *max_chars_, *max_lines_, *max_width_, *default_width_;
    QLineEdit *from_, *import_script_, *import_out_;
    QComboBox *import_format_, *csv_fallback_;
    QCheckBox *require_all_, *use_fuzzy_;
    QListWidget* problems_;
};

}  // namespace quillmere::ui
