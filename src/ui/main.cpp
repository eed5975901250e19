// quillmere: the window.
#include <QApplication>
#include <QCommandLineParser>
#include <QStandardPaths>

#include "core/version.hpp"
#include "ui/app_icon.hpp"
#include "ui/data_folder.hpp"
#include "ui/file_dialogs.hpp"
#include "ui/huge_pages.hpp"
#include "ui/message_boxes.hpp"
#include "ui/qt_text.hpp"
#include "ui/translations.hpp"
#include "ui/window_session.hpp"

int main(int argc, char* argv[]) {
    quillmere::ui::restart_with_huge_pages(argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmere"));
    QApplication::setApplicationVersion(QString::fromLatin1(quillmere::kVersion));
    QApplication::setWindowIcon(quillmere::ui::quillmere_icon());
    quillmere::ui::install_chinese_translations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Quillmere: export, check and import the text of ROM images."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption data_dir_option(
        QStringLiteral("data-dir"),
        QStringLiteral("Keep records and filter lists in DIR instead of data/ beside the program "
                       "(or the user's data folder when the program's folder is not writable)."),
        QStringLiteral("DIR"));
    parser.addOption(data_dir_option);
    parser.process(app);

    const QString data_dir =
        parser.isSet(data_dir_option)
            ? parser.value(data_dir_option)
            : quillmere::ui::default_data_dir(QApplication::applicationDirPath(),
                                              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));

    quillmere::ui::QtMessageBoxes boxes;
    quillmere::ui::QtFileDialogs dialogs;
    return quillmere::ui::run_window(quillmere::ui::to_path(data_dir), boxes, dialogs);
}
