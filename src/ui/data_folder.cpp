#include "ui/data_folder.hpp"

#include <QDir>
#include <QFileInfo>

namespace quillmere::ui {

QString default_data_dir(const QString& program_dir, const QString& user_data_dir) {
    const QString beside = QDir(program_dir).filePath(QStringLiteral("data"));
    // A missing data/ beside a writable program keeps failing as it always
    // has: that is a portable copy whose folder was lost, not an installation.
    const QFileInfo place(QFileInfo::exists(beside) ? beside : program_dir);
    if (place.isDir() && place.isWritable()) return beside;
    QDir().mkpath(user_data_dir);
    return user_data_dir;
}

}  // namespace quillmere::ui
