// quillmere-tools-screenshot SAMPLE_DIR OUT.png: opens the tools window on a
// scratch data directory with the sample's tables, runs one command in each
// tab that shows something (the check with a box limit, a search, a
// conversion of the sample's combined table), and saves every tab's picture
// side by side, two a row, as one image.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "ui/qt_text.hpp"
#include "ui/scripted_seams.hpp"
#include "ui/tools/tools_window.hpp"

namespace {

template <class T>
T* find(QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget) {
        std::fprintf(stderr, "no control %s\n", name);
        std::exit(1);
    }
    return widget;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillmere-tools-screenshot SAMPLE_DIR OUT.png\n");
        return 2;
    }
    const QDir sample(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir data;
    if (!data.isValid()) return 1;

    using namespace quillmere::ui;
    ScriptedFileDialogs dialogs;
    ToolsWindow window(to_path(data.path()), dialogs, std::nullopt);
    window.resize(760, 900);
    window.show();
    auto set = [&](const char* name, const QString& text) { find<QLineEdit>(window, name)->setText(text); };
    auto file = [&](const char* name) { return sample.filePath(QString::fromLatin1(name)); };
    auto run = [&](const char* button) {
        find<QPushButton>(window, button)->click();
        window.wait_for_command();
    };
    set("rom", file("sample.gba"));
    find<QComboBox>(window, "mode")->setCurrentIndex(2);
    set("table1", file("single.tbl"));
    set("table2", file("double.tbl"));
    set("filter1", file("filter1.txt"));
    set("filter2", file("filter2.txt"));
    set("check_script", file("translation.txt"));
    set("check_line_break", QStringLiteral("换行"));
    find<QSpinBox>(window, "check_max_chars")->setValue(8);
    run("check_run");
    set("find_text", QStringLiteral("Quillmere"));
    run("find_run");
    set("convert_source", file("combined.tbl"));
    // Beside the sample, so that the picture names the same paths each time.
    set("convert_table1", file("converted-single.tbl"));
    set("convert_table2", file("converted-double.tbl"));
    set("convert_filter1", file("converted-filter1.txt"));
    set("convert_filter2", file("converted-filter2.txt"));
    run("convert_run");

    auto* tabs = find<QTabWidget>(window, "tabs");
    std::vector<QImage> shots;
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        shots.push_back(window.grab().toImage());
    }
    const int width = shots.front().width(), height = shots.front().height();
    const int rows = static_cast<int>((shots.size() + 1) / 2);
    QImage sheet(width * 2, height * rows, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (std::size_t i = 0; i < shots.size(); ++i)
        painter.drawImage(static_cast<int>(i % 2) * width, static_cast<int>(i / 2) * height, shots[i]);
    painter.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    window.close();
    return 0;
}
