#include "ui/file_dialogs.hpp"

#include <QFileDialog>

namespace quillmere::ui {
namespace {

std::optional<QString> run_dialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter_list,
                                  const QString& folder, const QString& initial_name) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::HideNameFilterDetails |
                      QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(qt_name_filters(filter_list));
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (!initial_name.isEmpty()) dialog.selectFile(initial_name);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return std::nullopt;
    return chosen.first();
}

}  // namespace

std::optional<QString> QtFileDialogs::open(QWidget* parent, const QString& filter_list, const QString& folder,
                                           const QString& initial_name) {
    return run_dialog(parent, QFileDialog::AcceptOpen, filter_list, folder, initial_name);
}

std::optional<QString> QtFileDialogs::save(QWidget* parent, const QString& filter_list, const QString& folder,
                                           const QString& initial_name) {
    return run_dialog(parent, QFileDialog::AcceptSave, filter_list, folder, initial_name);
}

QStringList qt_name_filters(const QString& filter_list) {
    const QStringList fields = filter_list.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        QStringList masks = fields[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& mask : masks) {
            if (mask == u"*.*") mask = QStringLiteral("*");
        }
        filters << fields[i] + QStringLiteral(" (") + masks.join(u' ') + u')';
    }
    return filters;
}

}  // namespace quillmere::ui
