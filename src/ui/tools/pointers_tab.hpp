#pragma once
// 指针: a pointer list made from a table of pointers or by a scan for the
// pointers to a script's records (`quillmere-cli pointers table|scan`),
// shown as a table and saved as the file; then an import whose longer
// entries move into free space: first the plan (which entry moves where,
// which pointers change, as the check tells it) and, on request, the
// import into a new file (`quillmere-cli import --out`).

#include <QWidget>

#include "core/commands/pointer_commands.hpp"
#include "core/commands/script_commands.hpp"
#include "ui/tools/tools_context.hpp"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace quillmere::ui {

class PointersTab : public QWidget {
    Q_OBJECT

public:
    explicit PointersTab(ToolsContext context, QWidget* parent = nullptr);

private:
    void make_list();
    void show_list(const CommandResult<PointerList>& result, const Message& written);
    // The import's request; false after showing why there is none.
    bool import_request(ImportRequest& request) const;
    void plan();
    void import_entries();
    void show_moves(const CommandResult<ScriptPayload>& result);

    ToolsContext context_;
    QComboBox* method_;
    QLineEdit *at_, *count_, *size_, *order_, *base_, *map_, *stride_, *split_high_, *split_bank_, *null_;
    QLineEdit *scan_script_, *scan_align_, *min_run_, *max_stride_;
    QCheckBox* tables_only_;
    QLineEdit* list_out_;
    QTableWidget* list_;
    QLineEdit *script_, *fill_, *pointers_, *free_, *align_, *out_;
    QListWidget* moves_;
};

}  // namespace quillmere::ui
