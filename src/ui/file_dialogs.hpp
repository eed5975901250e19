#pragma once
// Open and save dialogs behind an interface, so that tests can answer them.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace quillmere::ui {

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // filter_list: "description|pattern|description|pattern...", one pattern
    // holding masks separated by ";". folder: where the dialog opens (empty:
    // the working directory); an initial name that is a full path opens in
    // its own folder. Returns the chosen path, or nullopt when the user
    // cancels.
    virtual std::optional<QString> open(QWidget* parent, const QString& filter_list, const QString& folder,
                                        const QString& initial_name) = 0;
    virtual std::optional<QString> save(QWidget* parent, const QString& filter_list, const QString& folder,
                                        const QString& initial_name) = 0;
};

// The real dialogs. Neither asks the file to exist nor asks before
// replacing one; no extension is added. They are Qt's own dialogs, so that
// they speak the program's language whatever the system's.
class QtFileDialogs final : public FileDialogs {
public:
    std::optional<QString> open(QWidget* parent, const QString& filter_list, const QString& folder,
                                const QString& initial_name) override;
    std::optional<QString> save(QWidget* parent, const QString& filter_list, const QString& folder,
                                const QString& initial_name) override;
};

// "desc|*.a;*.b|..." -> {"desc (*.a *.b)", ...}. The dialog hides the part
// in parentheses, so the descriptions show as written; "*.*" becomes "*",
// since it means every file, with or without a dot.
QStringList qt_name_filters(const QString& filter_list);

}  // namespace quillmere::ui
