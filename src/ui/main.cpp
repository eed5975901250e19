// quillmere: the window.
#include <CLI/CLI.hpp>
#include <QApplication>
#include <QStandardPaths>
#include <optional>
#include <string>

#include "core/commands/cli_help.hpp"
#include "core/version.hpp"
#include "ui/app_icon.hpp"
#include "ui/data_folder.hpp"
#include "ui/file_dialogs.hpp"
#include "ui/message_boxes.hpp"
#include "ui/qt_text.hpp"
#include "ui/translations.hpp"
#include "ui/window_session.hpp"

int main(int argc, char* argv[]) {
    // The program's own options are read before Qt starts, so that --help
    // and --version work where no display is; Qt's options (-platform …)
    // pass through to QApplication untouched.
    namespace help = quillmere::cli_help;
    CLI::App options(help::kWindow, "quillmere");
    options.allow_extras();
    options.set_version_flag("--version", std::string(quillmere::kVersion), help::kVersion);
    std::optional<std::string> data_dir_option;
    options.add_option("--data-dir", data_dir_option, help::kWindowDataDir)->option_text("DIR");
    bool tools = false;
    options.add_flag("--tools", tools, help::kWindowTools);
    CLI11_PARSE(options, argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmere"));
    QApplication::setApplicationVersion(QString::fromLatin1(quillmere::kVersion));
    QApplication::setWindowIcon(quillmere::ui::quillmere_icon());
    quillmere::ui::install_chinese_translations(app);

    const QString data_dir = data_dir_option ? QString::fromLocal8Bit(*data_dir_option)
                                             : quillmere::ui::default_data_dir(
                                                   QApplication::applicationDirPath(),
                                                   QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));

    quillmere::ui::QtMessageBoxes boxes;
    quillmere::ui::QtFileDialogs dialogs;
    if (tools) return quillmere::ui::run_tools_window(quillmere::ui::to_path(data_dir), dialogs);
    return quillmere::ui::run_window(quillmere::ui::to_path(data_dir), boxes, dialogs);
}
