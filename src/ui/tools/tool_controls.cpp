#include "ui/tools/tool_controls.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <vector>

#include "core/commands/tools_texts.hpp"
#include "ui/file_dialogs.hpp"
#include "ui/qt_text.hpp"

namespace quillmere::ui {

namespace texts = tools_texts;

void name_control(QWidget& control, const char* object_name, std::u16string_view accessible_name) {
    control.setObjectName(QString::fromLatin1(object_name));
    control.setAccessibleName(to_qt(accessible_name));
}

namespace {

QLabel* row_label(QFormLayout& form, std::u16string_view text, QWidget& buddy) {
    auto* label = new QLabel(to_qt(text), form.parentWidget());
    label->setBuddy(&buddy);
    return label;
}

}  // namespace

QLineEdit* add_path_row(QFormLayout& form, FileDialogs& dialogs, const char* name, std::u16string_view label,
                        std::u16string_view filter_list, PathUse use) {
    auto* row = new QWidget(form.parentWidget());
    auto* box = new QLineEdit(row);
    auto* browse = new QPushButton(to_qt(texts::kBrowse), row);
    name_control(*box, name, label);
    name_control(*browse, (std::string(name) + "_browse").c_str(), std::u16string(texts::kBrowseFor) + std::u16string(label));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box, 1);
    layout->addWidget(browse);
    form.addRow(row_label(form, label, *box), row);
    const QString filters = to_qt(filter_list);
    QObject::connect(browse, &QPushButton::clicked, box, [box, &dialogs, filters, use] {
        const QString folder = box->text().isEmpty() ? QString() : QFileInfo(box->text()).absolutePath();
        auto chosen = use == PathUse::open ? dialogs.open(box->window(), filters, folder, box->text())
                                           : dialogs.save(box->window(), filters, folder, box->text());
        if (chosen) box->setText(*chosen);
    });
    return box;
}

QLineEdit* add_line_row(QFormLayout& form, const char* name, std::u16string_view label, const QString& text) {
    auto* box = new QLineEdit(text, form.parentWidget());
    name_control(*box, name, label);
    form.addRow(row_label(form, label, *box), box);
    return box;
}

QComboBox* add_choice_row(QFormLayout& form, const char* name, std::u16string_view label,
                          std::initializer_list<std::u16string_view> choices) {
    auto* box = new QComboBox(form.parentWidget());
    for (std::u16string_view choice : choices) box->addItem(to_qt(choice));
    name_control(*box, name, label);
    form.addRow(row_label(form, label, *box), box);
    return box;
}

QCheckBox* add_check_row(QFormLayout& form, const char* name, std::u16string_view label) {
    auto* box = new QCheckBox(to_qt(label), form.parentWidget());
    name_control(*box, name, label);
    form.addRow(box);
    return box;
}

QSpinBox* add_limit_row(QFormLayout& form, const char* name, std::u16string_view label, int maximum) {
    QSpinBox* box = add_number_row(form, name, label, -1, maximum, -1);
    box->setSpecialValueText(to_qt(texts::kNoLimit));
    return box;
}

QSpinBox* add_number_row(QFormLayout& form, const char* name, std::u16string_view label, int minimum, int maximum,
                         int value) {
    auto* box = new QSpinBox(form.parentWidget());
    box->setRange(minimum, maximum);
    box->setValue(value);
    name_control(*box, name, label);
    form.addRow(row_label(form, label, *box), box);
    return box;
}

QPushButton* add_button(QLayout& layout, const char* name, std::u16string_view label) {
    auto* button = new QPushButton(to_qt(label), layout.parentWidget());
    name_control(*button, name, label);
    layout.addWidget(button);
    return button;
}

QTableWidget* make_table(const char* name, std::u16string_view label, std::initializer_list<std::u16string_view> heads) {
    auto* table = new QTableWidget(0, static_cast<int>(heads.size()));
    name_control(*table, name, label);
    QStringList labels;
    for (std::u16string_view head : heads) labels << to_qt(head);
    table->setHorizontalHeaderLabels(labels);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setVisible(false);
    return table;
}

void fill_table(QTableWidget& table, const std::vector<QStringList>& rows) {
    table.clearContents();
    table.setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        const QStringList& cells = rows[static_cast<std::size_t>(row)];
        for (int column = 0; column < table.columnCount(); ++column)
            table.setItem(row, column, new QTableWidgetItem(column < cells.size() ? cells[column] : QString()));
    }
}

std::optional<std::int64_t> limit_of(const QSpinBox& box) {
    if (box.value() == box.minimum()) return std::nullopt;
    return box.value();
}

}  // namespace quillmere::ui
