// quillmere-screenshot SAMPLE_DIR OUT.png: opens the window on a scratch data
// directory, does one job on the sample (choose the files, export with the
// preview on, save the text into SAMPLE_DIR, load it as the translation,
// check it) through scripted dialogs, and saves a picture of the window.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

#include "ui/form1.hpp"
#include "ui/qt_text.hpp"
#include "ui/scripted_seams.hpp"

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
        std::fprintf(stderr, "usage: quillmere-screenshot SAMPLE_DIR OUT.png\n");
        return 2;
    }
    const QDir sample(QString::fromLocal8Bit(argv[1]));
    const QString out = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir data;
    if (!data.isValid()) return 1;
    // The filter lists come in as if kept from an earlier run.
    QFile::copy(sample.filePath(QStringLiteral("filter1.txt")), data.filePath(QStringLiteral("glq.dat")));
    QFile::copy(sample.filePath(QStringLiteral("filter2.txt")), data.filePath(QStringLiteral("glq2.dat")));

    using namespace quillmere::ui;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    Form1 window(to_path(data.path()), boxes, dialogs);
    window.show();

    const QString translation = sample.filePath(QStringLiteral("示例.txt"));
    dialogs.answer_next(sample.filePath(QStringLiteral("sample.gba")));
    dialogs.answer_next(sample.filePath(QStringLiteral("double.tbl")));
    dialogs.answer_next(sample.filePath(QStringLiteral("single.tbl")));
    dialogs.answer_next(translation);  // save text
    dialogs.answer_next(translation);  // read the translation

    find<QPushButton>(window, "openrom")->click();
    find<QPushButton>(window, "opentlb")->click();
    find<QRadioButton>(window, "Option3")->click();
    find<QPushButton>(window, "Command6")->click();
    find<QLineEdit>(window, "Text3")->setText(QStringLiteral("示例"));
    find<QLineEdit>(window, "Text4")->setText(QStringLiteral("10"));
    find<QLineEdit>(window, "Text5")->setText(QStringLiteral("1FF"));
    find<QPushButton>(window, "Command1")->click();
    find<QCheckBox>(window, "Check3")->setChecked(true);
    find<QCheckBox>(window, "Check2")->setChecked(true);
    find<QCheckBox>(window, "Check4")->click();
    // The commands run on a worker thread: each is done before the next.
    for (const char* command : {"gettext", "Command4", "openyw", "Command5"}) {
        find<QPushButton>(window, command)->click();
        window.wait_for_command();
    }

    QTextStream err(stderr);
    for (const ShownBox& box : boxes.shown) err << box.title << ": " << box.text << '\n';
    err.flush();

    QApplication::processEvents();
    if (!window.grab().save(out)) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    window.close();
    return 0;
}
