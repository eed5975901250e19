// The window: its controls, defaults, layout, ROM mode, text preview, file
// dialogs, text area commands, records, start-up and shut-down.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include "form1_harness.hpp"
#include "ui/translations.hpp"

namespace quillmere::ui::testing {
namespace {

const QString kRomFilter = QStringLiteral(
    "*.gba;*.bin;*.gb;*.gbc;*.sfc;*.fc;*.wsc;*.ws|*.gba;*.bin;*.gb;*.gbc;*.sfc;*.fc;*.wsc;*.ws|全部文件 (*.*)|*.*");
const QString kTableFilter = QStringLiteral("TBL文件 (*.tbl);TXT文件 (*.txt)|*.tbl;*.txt|全部文件 (*.*)|*.*");
const QString kTranslationFilter = QStringLiteral("TXT文件 (*.txt)|*.txt|全部文件 (*.*)|*.*");
const QString kTextFilter = QStringLiteral("*.txt|*.txt");

QString caption_of(QWidget* widget) {
    if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
    if (auto* editor = qobject_cast<QPlainTextEdit*>(widget)) return editor->toPlainText();
    return QStringLiteral("<no caption>");
}

void expect_box(const ShownBox& box, const QString& title, const QString& text) {
    QCOMPARE(box.title, title);
    QCOMPARE(box.text, text);
    QVERIFY(box.buttons == Buttons::ok);
    QVERIFY(box.icon == Icon::none);
}

// Hands the next modal dialog to `inspect` once it shows, then closes it.
template <class Inspect>
void inspect_next_modal(Inspect inspect) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        inspect(dialog);
        dialog->reject();
    });
    timer->start();
}

QStringList button_texts(QDialog* dialog) {
    QStringList texts;
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) texts << button->text();
    return texts;
}

void expect_question(const ShownBox& box, const QString& text) {
    QCOMPARE(box.title, QStringLiteral("提示"));
    QCOMPARE(box.text, text);
    QVERIFY(box.buttons == Buttons::yes_no);
    QVERIFY(box.icon == Icon::information);
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void every_control_has_its_kind_caption_and_default();
    void controls_sit_where_the_layout_puts_them();
    void tab_order_follows_the_tab_numbers();
    void tab_leaves_filter_boxes_and_mode_options_are_one_stop();
    void controls_are_announced_by_distinct_names();
    void window_opens_narrow_with_caption_icon_and_fonts();
    void address_range_boxes_take_five_characters();
    void rom_mode_enables_the_tables_it_uses();
    void preview_widens_and_narrows_the_window();
    void file_buttons_fill_their_boxes_through_the_dialog();
    void cancelled_dialogs_change_nothing();
    void remembered_file_name_follows_saves_and_choices();
    void dialogs_open_in_the_folder_of_the_last_file();
    void qt_dialogs_and_buttons_speak_chinese();
    void translation_loads_only_with_the_preview_on();
    void unreadable_translation_is_silent();
    void save_text_writes_the_source_text();
    void save_text_refusals();
    void qt_name_filters_keep_descriptions();
    void start_up_restores_records_and_filter_lists();
    void add_and_select_records();
    void delete_and_modify_ask_first();
    void closing_writes_the_filter_lists();
    void closing_without_data_directory_still_closes();
    void closing_writes_one_list_when_the_other_cannot_be();
};

void Form1Test::every_control_has_its_kind_caption_and_default() {
    Harness h;
    struct Expected {
        const char* name;
        const char* kind;
        QString caption;
    };
    const Expected controls[] = {
        {"Frame1", "QGroupBox", "文件"}, {"Frame7", "QGroupBox", "导入相关"},
        {"Frame2", "QGroupBox", "文本地址（16进制）"}, {"Frame3", "QGroupBox", "记录区"},
        {"Frame5", "QGroupBox", "过滤与控制符"}, {"Frame4", "QGroupBox", "操作"},
        {"Frame6", "QGroupBox", "文本区"},
        {"Option1", "QRadioButton", "单字节ROM"}, {"Option2", "QRadioButton", "双字节ROM"},
        {"Option3", "QRadioButton", "单双字节ROM"}, {"Text1", "QLineEdit", ""},
        {"openrom", "QPushButton", "打开ROM"}, {"Text2", "QLineEdit", ""},
        {"opentlb", "QPushButton", "双字节码表"}, {"Text13", "QLineEdit", ""},
        {"Command6", "QPushButton", "单字节码表"}, {"Text8", "QLineEdit", ""},
        {"openyw", "QPushButton", "读取译文"}, {"Label13", "QLabel", "双字节过滤区："},
        {"Text16", "QLineEdit", "0"}, {"Label14", "QLabel", "-"}, {"Text17", "QLineEdit", "65535"},
        {"Label10", "QLabel", "填充字节："}, {"Text14", "QLineEdit", ""}, {"Label4", "QLabel", "最小字节："},
        {"Text15", "QLineEdit", "0"}, {"Check4", "QCheckBox", "打开文本预览"},
        {"Label1", "QLabel", "开始地址："}, {"Text4", "QLineEdit", ""}, {"Label2", "QLabel", "结束地址："},
        {"Text5", "QLineEdit", ""}, {"Label3", "QLabel", "名称："}, {"Text3", "QLineEdit", ""},
        {"Command1", "QPushButton", "添加"}, {"Command2", "QPushButton", "删除"},
        {"Command3", "QPushButton", "修改"}, {"Label8", "QLabel", "单字节："},
        {"Text6", "QPlainTextEdit", ""}, {"Label9", "QLabel", "双字节："}, {"Text12", "QPlainTextEdit", ""},
        {"Check3", "QCheckBox", "单字节过滤"}, {"Check2", "QCheckBox", "双字节过滤"},
        {"gettext", "QPushButton", "导出文本"}, {"Command4", "QPushButton", "保存文本"},
        {"Command5", "QPushButton", "检查文本"}, {"intext", "QPushButton", "导入文本"},
        {"Label5", "QLabel", "原文："}, {"text9", "QPlainTextEdit", ""}, {"Label6", "QLabel", "译文："},
        {"text10", "QPlainTextEdit", ""},
    };
    for (const Expected& e : controls) {
        QWidget* widget = h.get<QWidget>(e.name);
        QCOMPARE(widget->metaObject()->className(), e.kind);
        QCOMPARE(caption_of(widget), e.caption);
    }
    QCOMPARE(h.get<QListWidget>("List1")->count(), 0);
    QVERIFY(h.get<QRadioButton>("Option2")->isChecked());
    QVERIFY(!h.get<QRadioButton>("Option1")->isChecked());
    QVERIFY(!h.get<QRadioButton>("Option3")->isChecked());
    for (const char* name : {"Check2", "Check3", "Check4"}) QVERIFY(!h.get<QCheckBox>(name)->isChecked());
    QVERIFY(!h.get<QLineEdit>("Text13")->isEnabled());
    QVERIFY(!h.get<QPushButton>("Command6")->isEnabled());
    QVERIFY(h.get<QLineEdit>("Text2")->isEnabled());
    QVERIFY(h.get<QPushButton>("opentlb")->isEnabled());
    QVERIFY(h.boxes.shown.empty());
}

void Form1Test::controls_sit_where_the_layout_puts_them() {
    Harness h;
    struct Expected {
        const char* name;
        const char* group;
        QRect rect;
    };
    // Twips / 15, from the group's corner.
    const Expected controls[] = {
        {"Frame1", "Form1", {8, 8, 305, 137}},    {"Frame7", "Form1", {320, 8, 105, 137}},
        {"Frame3", "Form1", {144, 152, 169, 249}}, {"Frame6", "Form1", {432, 8, 321, 393}},
        {"Option2", "Frame1", {104, 16, 81, 17}}, {"Text8", "Frame1", {8, 112, 201, 18}},
        {"Text16", "Frame7", {8, 32, 39, 18}},    {"Label4", "Frame7", {8, 98, 65, 17}},
        {"Check4", "Frame7", {8, 120, 95, 12}},   {"List1", "Frame3", {8, 16, 153, 172}},
        {"Text12", "Frame5", {8, 136, 89, 73}},   {"intext", "Frame4", {16, 112, 97, 26}},
        {"text10", "Frame6", {8, 224, 305, 161}},
    };
    for (const Expected& e : controls) {
        QWidget* widget = h.get<QWidget>(e.name);
        QCOMPARE(widget->parentWidget()->objectName(), QString::fromLatin1(e.group));
        QCOMPARE(widget->geometry(), e.rect);
    }
}

void Form1Test::tab_order_follows_the_tab_numbers() {
    Harness h;
    const QStringList expected = {
        "Text1",    "openrom",  "Text2",   "opentlb", "Text5",  "gettext", "intext",  "Text4",   "List1",
        "Command1", "Command2", "Command3", "Text3",  "Text8",  "openyw",  "Command4", "Text6",  "Text12",
        "Check2",   "Check3",   "Command5", "Option3", "Text13", "Command6", "text9",  "text10", "Text14",
        "Text16",   "Text17",   "Option1",  "Option2", "Check4", "Text15"};
    QStringList chain;
    QWidget* start = h.get<QWidget>("Text1");
    QWidget* widget = start;
    do {
        if (expected.contains(widget->objectName()) && !chain.contains(widget->objectName()))
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != start);
    QCOMPARE(chain, expected);
}

void Form1Test::tab_leaves_filter_boxes_and_mode_options_are_one_stop() {
    Harness h;
    h.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
    auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    };
    auto* single_list = h.get<QPlainTextEdit>("Text6");
    single_list->setPlainText("00=over");
    single_list->setFocus();
    QCOMPARE(press(Qt::Key_Tab), QStringLiteral("Text12"));
    QCOMPARE(press(Qt::Key_Tab), QStringLiteral("Check2"));
    QCOMPARE(single_list->toPlainText(), QStringLiteral("00=over"));
    QCOMPARE(h.get<QPlainTextEdit>("Text12")->toPlainText(), QString());

    // The one stop of the ROM modes is the selected option, wherever it
    // stands in the tab order; the arrow keys select the next option.
    h.get<QPushButton>("Command5")->setFocus();
    QCOMPARE(press(Qt::Key_Tab), QStringLiteral("Text14"));  // past the unselected Option3 and disabled Text13
    h.get<QLineEdit>("Text17")->setFocus();
    QCOMPARE(press(Qt::Key_Tab), QStringLiteral("Option2"));
    QCOMPARE(press(Qt::Key_Right), QStringLiteral("Option3"));
    QVERIFY(h.get<QRadioButton>("Option3")->isChecked());
    QVERIFY(h.get<QLineEdit>("Text13")->isEnabled());
    h.get<QPushButton>("Command5")->setFocus();
    QCOMPARE(press(Qt::Key_Tab), QStringLiteral("Option3"));
    QCOMPARE(press(Qt::Key_Space), QStringLiteral("Option3"));
    QVERIFY(h.get<QRadioButton>("Option3")->isChecked());
    QCOMPARE(press(Qt::Key_Left), QStringLiteral("Option2"));
    QCOMPARE(press(Qt::Key_Left), QStringLiteral("Option1"));
    QVERIFY(h.get<QRadioButton>("Option1")->isChecked());
    QVERIFY(!h.get<QLineEdit>("Text2")->isEnabled());
}

void Form1Test::controls_are_announced_by_distinct_names() {
    Harness h;
    h.get<QCheckBox>("Check4")->setChecked(true);
    const std::pair<const char*, const char*> named[] = {
        {"Text1", "ROM文件"}, {"Text2", "双字节码表文件"}, {"Text13", "单字节码表文件"}, {"Text8", "译文文件"},
        {"opentlb", "双字节码表"}, {"Frame1", "文件"},  // a caption is the name
    };
    auto announced = [](QWidget* widget) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible ? accessible->text(QAccessible::Name) : QString();
    };
    for (const auto& [name, text] : named) QCOMPARE(announced(h.get<QWidget>(name)), QString::fromUtf8(text));
    // Every group, label and control of the window: a name, and no two alike.
    const QRegularExpression control_name(
        QStringLiteral("^((Frame|Label|Text|text|Option|Check|Command|List)\\d+|openrom|opentlb|openyw|gettext|intext)$"));
    QStringList names;
    for (QWidget* widget : h.form->findChildren<QWidget*>(control_name)) {
        const QString name = announced(widget);
        QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
        QVERIFY2(!names.contains(name), qPrintable(widget->objectName() + u' ' + name));
        names << name;
    }
    QCOMPARE(names.size(), 51);
}

void Form1Test::window_opens_narrow_with_caption_icon_and_fonts() {
    Harness h;
    QCOMPARE(h.form->objectName(), QStringLiteral("Form1"));
    QCOMPARE(h.form->windowTitle(), QStringLiteral("Quillmere V1.14"));
    const QIcon icon = h.form->windowIcon();
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    QCOMPARE(h.form->size(), QSize(437, 407));
    QVERIFY(!h.get<QGroupBox>("Frame6")->isVisible());
    const QFont font = h.get<QPlainTextEdit>("text9")->font();
    QCOMPARE(font.pointSize(), 9);
    QVERIFY2(QStringList({"SimSun", "宋体", "NSimSun", "Noto Serif CJK SC", "Source Han Serif SC", "AR PL UMing CN"})
                 .contains(font.family()),
             qPrintable(font.family()));
}

void Form1Test::address_range_boxes_take_five_characters() {
    Harness h;
    for (const char* name : {"Text16", "Text17"}) {
        auto* box = h.get<QLineEdit>(name);
        box->clear();
        QTest::keyClicks(box, "123456");
        QCOMPARE(box->text(), QStringLiteral("12345"));
    }
}

void Form1Test::rom_mode_enables_the_tables_it_uses() {
    Harness h;
    h.get<QLineEdit>("Text2")->setText("double.tbl");
    h.get<QLineEdit>("Text13")->setText("single.tbl");
    struct Row {
        const char* option;
        bool double_enabled, single_enabled;
    };
    const Row rows[] = {{"Option1", false, true}, {"Option1", false, true}, {"Option3", true, true},
                        {"Option2", true, false}, {"Option1", false, true}, {"Option2", true, false}};
    for (const Row& row : rows) {
        QTest::mouseClick(h.get<QRadioButton>(row.option), Qt::LeftButton);
        QVERIFY(h.get<QRadioButton>(row.option)->isChecked());
        QCOMPARE(h.get<QLineEdit>("Text2")->isEnabled(), row.double_enabled);
        QCOMPARE(h.get<QPushButton>("opentlb")->isEnabled(), row.double_enabled);
        QCOMPARE(h.get<QLineEdit>("Text13")->isEnabled(), row.single_enabled);
        QCOMPARE(h.get<QPushButton>("Command6")->isEnabled(), row.single_enabled);
        QCOMPARE(h.get<QLineEdit>("Text2")->text(), QStringLiteral("double.tbl"));
        QCOMPARE(h.get<QLineEdit>("Text13")->text(), QStringLiteral("single.tbl"));
    }
}

void Form1Test::preview_widens_and_narrows_the_window() {
    Harness h;
    auto* preview = h.get<QCheckBox>("Check4");
    const QPoint position = h.form->pos();
    h.get<QPlainTextEdit>("text9")->setPlainText("source");
    h.get<QPlainTextEdit>("text10")->setPlainText("translation");
    QTest::mouseClick(preview, Qt::LeftButton);
    QVERIFY(preview->isChecked());
    QCOMPARE(h.form->size(), QSize(767, 407));
    QVERIFY(h.get<QPlainTextEdit>("text9")->isVisible());
    QVERIFY(h.get<QPlainTextEdit>("text10")->isVisible());
    QTest::mouseClick(preview, Qt::LeftButton);
    QCOMPARE(h.form->size(), QSize(437, 407));
    QVERIFY(!h.get<QGroupBox>("Frame6")->isVisible());
    QCOMPARE(h.form->pos(), position);
    QCOMPARE(h.get<QPlainTextEdit>("text9")->toPlainText(), QStringLiteral("source"));
    QCOMPARE(h.get<QPlainTextEdit>("text10")->toPlainText(), QStringLiteral("translation"));
}

void Form1Test::file_buttons_fill_their_boxes_through_the_dialog() {
    Harness h;
    struct Button {
        const char* button;
        const char* box;
        QString filter;
    };
    const Button buttons[] = {{"openrom", "Text1", kRomFilter},
                              {"opentlb", "Text2", kTableFilter},
                              {"Command6", "Text13", kTableFilter},
                              {"openyw", "Text8", kTranslationFilter}};
    QTest::mouseClick(h.get<QRadioButton>("Option3"), Qt::LeftButton);
    for (const Button& b : buttons) {
        h.get<QLineEdit>(b.box)->setText("old");
        const QString chosen = h.file(QStringLiteral("不存在/") + b.box);
        h.dialogs.answer_next(chosen);
        h.click(b.button);
        QCOMPARE(h.get<QLineEdit>(b.box)->text(), chosen);
        QVERIFY(h.dialogs.calls.back().kind == DialogCall::Kind::open);
        QCOMPARE(h.dialogs.calls.back().filter_list, b.filter);
        QCOMPARE(h.dialogs.calls.back().initial_name, QString());
    }
    QCOMPARE(h.dialogs.calls.size(), std::size(buttons));
    QVERIFY(h.boxes.shown.empty());
    QCOMPARE(h.get<QPlainTextEdit>("text10")->toPlainText(), QString());
}

void Form1Test::cancelled_dialogs_change_nothing() {
    Harness h;
    QTest::mouseClick(h.get<QRadioButton>("Option3"), Qt::LeftButton);
    h.get<QCheckBox>("Check4")->setChecked(true);
    h.get<QLineEdit>("Text2")->setText("kept.tbl");
    h.get<QLineEdit>("Text3")->setText("name");
    h.get<QPlainTextEdit>("text10")->setPlainText("translation");
    for (const char* button : {"openrom", "opentlb", "Command6", "openyw", "Command4"}) {
        h.dialogs.answer_next(std::nullopt);
        h.click(button);
    }
    QCOMPARE(h.dialogs.calls.size(), std::size_t{5});
    QCOMPARE(h.get<QLineEdit>("Text1")->text(), QString());
    QCOMPARE(h.get<QLineEdit>("Text2")->text(), QStringLiteral("kept.tbl"));
    QCOMPARE(h.get<QLineEdit>("Text13")->text(), QString());
    QCOMPARE(h.get<QLineEdit>("Text8")->text(), QString());
    QCOMPARE(h.get<QPlainTextEdit>("text10")->toPlainText(), QStringLiteral("translation"));
    QVERIFY(h.boxes.shown.empty());
    QCOMPARE(QDir(h.dir.path()).entryList(QDir::Files), QStringList());
}

void Form1Test::remembered_file_name_follows_saves_and_choices() {
    Harness h;
    const QString saved = h.file("saved.txt");
    h.get<QLineEdit>("Text3")->setText("开头");
    h.dialogs.answer_next(std::nullopt);  // save cancelled: the name stays proposed
    h.dialogs.answer_next(std::nullopt);  // open cancelled
    h.dialogs.answer_next(saved);         // save
    h.dialogs.answer_next(h.file("a.gba"));
    h.dialogs.answer_next(std::nullopt);
    h.click("Command4");
    h.click("openrom");
    h.click("Command4");
    h.click("openrom");
    h.click("opentlb");
    const auto& calls = h.dialogs.calls;
    QCOMPARE(calls.size(), std::size_t{5});
    QVERIFY(calls[0].kind == DialogCall::Kind::save);
    QCOMPARE(calls[0].filter_list, kTextFilter);
    QCOMPARE(calls[0].initial_name, QStringLiteral("开头"));
    QCOMPARE(calls[1].initial_name, QStringLiteral("开头"));
    QCOMPARE(calls[2].initial_name, QStringLiteral("开头"));
    QCOMPARE(calls[3].initial_name, saved);
    QCOMPARE(calls[4].initial_name, QString());
}

void Form1Test::dialogs_open_in_the_folder_of_the_last_file() {
    Harness h;
    QDir(h.dir.path()).mkpath("roms");
    QDir(h.dir.path()).mkpath("out");
    h.get<QLineEdit>("Text3")->setText("开头");
    h.dialogs.answer_next(h.file("roms/a.gba"));
    h.dialogs.answer_next(std::nullopt);
    h.dialogs.answer_next(h.file("out/saved.txt"));
    h.dialogs.answer_next(h.file("tables/b.tbl"));
    h.dialogs.answer_next(std::nullopt);
    for (const char* button : {"openrom", "opentlb", "Command4", "opentlb", "openyw"}) h.click(button);
    const auto& calls = h.dialogs.calls;
    QCOMPARE(calls.size(), std::size_t{5});
    QCOMPARE(calls[0].folder, QString());  // nothing chosen yet: the working directory
    QCOMPARE(calls[1].folder, h.file("roms"));
    QCOMPARE(calls[2].folder, h.file("roms"));  // the cancelled dialog changed nothing
    QCOMPARE(calls[2].initial_name, QStringLiteral("开头"));
    QCOMPARE(calls[3].folder, h.file("out"));
    QCOMPARE(calls[3].initial_name, h.file("out/saved.txt"));
    QCOMPARE(calls[4].folder, h.file("tables"));
    QCOMPARE(calls[4].initial_name, QString());
}

void Form1Test::qt_dialogs_and_buttons_speak_chinese() {
    const QLocale before;
    QTranslator* translator = install_chinese_translations(*QCoreApplication::instance());
    QVERIFY2(translator, "Qt's zh_CN translations are not installed");
    QtMessageBoxes boxes;
    QStringList ok, yes_no;
    inspect_next_modal([&](QDialog* dialog) { ok = button_texts(dialog); });
    boxes.show(nullptr, "提示", "文本导入成功", Buttons::ok, Icon::none);
    inspect_next_modal([&](QDialog* dialog) { yes_no = button_texts(dialog); });
    boxes.show(nullptr, "提示", "要删除记录吗？", Buttons::yes_no, Icon::information);
    QCOMPARE(ok, QStringList({"确定"}));
    yes_no.sort();
    QCOMPARE(yes_no, QStringList({"否(&N)", "是(&Y)"}));  // with their keys, as Chinese systems show them

    // The file dialog: its own texts in Chinese, opened in the folder given
    // with the file name proposed.
    QTemporaryDir folder;
    QString look_in, file_name_label, file_name, directory;
    inspect_next_modal([&](QDialog* dialog) {
        look_in = dialog->findChild<QLabel*>("lookInLabel")->text();
        file_name_label = dialog->findChild<QLabel*>("fileNameLabel")->text();
        file_name = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
        directory = static_cast<QFileDialog*>(dialog)->directory().absolutePath();
    });
    QtFileDialogs dialogs;
    QCOMPARE(dialogs.open(nullptr, kTranslationFilter, folder.path(), "开头"), std::nullopt);
    QCOMPARE(directory, QDir(folder.path()).absolutePath());
    QCOMPARE(file_name, QStringLiteral("开头"));
    QVERIFY2(!look_in.contains("Look") && look_in.contains(QRegularExpression("[\\x{4e00}-\\x{9fff}]")), qPrintable(look_in));
    QVERIFY2(!file_name_label.contains("name") && file_name_label.contains(QRegularExpression("[\\x{4e00}-\\x{9fff}]")),
             qPrintable(file_name_label));

    QCoreApplication::removeTranslator(translator);
    delete translator;
    QLocale::setDefault(before);
}

void Form1Test::translation_loads_only_with_the_preview_on() {
    Harness h;
    const QString first = h.file("first.txt");
    const QString second = h.file("second.txt");
    write_bytes(first, gbk(u"0,2,名\r\n\r\n1,1,A"));
    write_bytes(second, "B");
    h.get<QPlainTextEdit>("text10")->setPlainText("old");
    h.dialogs.answer_next(first);
    h.click("openyw");
    QCOMPARE(h.get<QLineEdit>("Text8")->text(), first);
    QCOMPARE(h.get<QPlainTextEdit>("text10")->toPlainText(), QStringLiteral("old"));
    QVERIFY(h.boxes.shown.empty());

    // Ticking the preview afterwards loads nothing.
    h.get<QCheckBox>("Check4")->setChecked(true);
    QCOMPARE(h.get<QPlainTextEdit>("text10")->toPlainText(), QStringLiteral("old"));

    h.dialogs.answer_next(first);
    h.click("openyw");
    QCOMPARE(core_text_of(h.get<QPlainTextEdit>("text10")), QStringLiteral("0,2,名\r\n\r\n1,1,A\r\n"));
    QCOMPARE(h.boxes.shown.size(), std::size_t{1});
    expect_box(h.boxes.shown[0], "提示", "译文读取成功");

    h.dialogs.answer_next(second);
    h.click("openyw");
    QCOMPARE(core_text_of(h.get<QPlainTextEdit>("text10")), QStringLiteral("B\r\n"));
    QCOMPARE(h.boxes.shown.size(), std::size_t{2});
}

void Form1Test::unreadable_translation_is_silent() {
    Harness h;
    h.get<QCheckBox>("Check4")->setChecked(true);
    h.get<QPlainTextEdit>("text10")->setPlainText("kept");
    const QString missing = h.file("missing.txt");
    h.dialogs.answer_next(missing);
    h.click("openyw");
    QCOMPARE(h.get<QLineEdit>("Text8")->text(), missing);
    QCOMPARE(h.get<QPlainTextEdit>("text10")->toPlainText(), QStringLiteral("kept"));
    QVERIFY(h.boxes.shown.empty());
}

void Form1Test::save_text_writes_the_source_text() {
    Harness h;
    const QString path = h.file("out.txt");
    write_bytes(path, "old content, longer than the new");
    h.get<QLineEdit>("Text3")->setText("name");
    h.get<QPlainTextEdit>("text9")->setPlainText("0,2,名\n\n");
    h.get<QPlainTextEdit>("text10")->setPlainText("not saved");
    h.dialogs.answer_next(path);
    h.click("Command4");
    QCOMPARE(read_bytes(path), gbk(u"0,2,名\r\n\r\n\r\n"));
    QCOMPARE(h.boxes.shown.size(), std::size_t{1});
    expect_box(h.boxes.shown[0], "提示", "保存文本成功");

    h.get<QPlainTextEdit>("text9")->clear();
    h.dialogs.answer_next(path);
    h.click("Command4");
    QCOMPARE(read_bytes(path), QByteArray("\r\n"));
}

void Form1Test::save_text_refusals() {
    Harness h;
    h.get<QPlainTextEdit>("text9")->setPlainText("text");
    h.click("Command4");
    QVERIFY(h.dialogs.calls.empty());
    QCOMPARE(h.boxes.shown.size(), std::size_t{1});
    expect_box(h.boxes.shown[0], "错误", "请先输入名称");

    h.get<QLineEdit>("Text3")->setText("name");
    h.dialogs.answer_next(h.file("no/such/dir/out.txt"));
    h.click("Command4");
    QCOMPARE(h.boxes.shown.size(), std::size_t{2});
    expect_box(h.boxes.shown[1], "错误", QStringLiteral(" 文件名不能包括以下字符：\\/:*?<>\"|"));
}

void Form1Test::qt_name_filters_keep_descriptions() {
    QCOMPARE(qt_name_filters(kRomFilter),
             QStringList({"*.gba;*.bin;*.gb;*.gbc;*.sfc;*.fc;*.wsc;*.ws (*.gba *.bin *.gb *.gbc *.sfc *.fc *.wsc *.ws)",
                          "全部文件 (*.*) (*)"}));
    QCOMPARE(qt_name_filters(kTableFilter),
             QStringList({"TBL文件 (*.tbl);TXT文件 (*.txt) (*.tbl *.txt)", "全部文件 (*.*) (*)"}));
    QCOMPARE(qt_name_filters(kTextFilter), QStringList({"*.txt (*.txt)"}));
    QCOMPARE(qt_name_filters("odd|"), QStringList({"odd ()"}));
}

void Form1Test::start_up_restores_records_and_filter_lists() {
    Harness h([](Harness& setup) {
        write_bytes(setup.data("Quillmere汉化工具.ini"), gbk(u"\"Menu\",\"8000\",\"8FFF\"\r\n\"开头\",\"1A000\",\"1B2FF\"\r\n"));
        write_bytes(setup.data("glq.dat"), "00=over\r\n\r\nF0=turn2\r\n");
        write_bytes(setup.data("glq2.dat"), gbk(u"8140=名"));
    });
    auto* list = h.get<QListWidget>("List1");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Menu"));
    QCOMPARE(list->item(1)->text(), QStringLiteral("开头"));
    QVERIFY(list->selectedItems().isEmpty());
    QCOMPARE(core_text_of(h.get<QPlainTextEdit>("Text6")), QStringLiteral("00=over\r\nF0=turn2\r\n"));
    QCOMPARE(core_text_of(h.get<QPlainTextEdit>("Text12")), QStringLiteral("8140=名\r\n"));
    QVERIFY(!h.get<QLineEdit>("Text13")->isEnabled());
    QVERIFY(!h.get<QPushButton>("Command6")->isEnabled());
    QVERIFY(h.boxes.shown.empty());
}

void Form1Test::add_and_select_records() {
    Harness h;
    const QString settings = h.data("Quillmere汉化工具.ini");
    auto type = [&](const char* name, const char* start, const char* end) {
        h.get<QLineEdit>("Text3")->setText(QString::fromUtf8(name));
        h.get<QLineEdit>("Text4")->setText(start);
        h.get<QLineEdit>("Text5")->setText(end);
        h.click("Command1");
    };
    type("Menu", "8000", "8FFF");
    type("开头", "1A000", "1B2FF");
    QCOMPARE(read_bytes(settings), gbk(u"\"Menu\",\"8000\",\"8FFF\"\r\n\"开头\",\"1A000\",\"1B2FF\"\r\n"));
    type("Menu", "1", "2");
    type("", "1", "2");
    type("bad", "0", "2");
    type("silent", "12G", "2");
    QCOMPARE(h.boxes.shown.size(), std::size_t{3});
    expect_box(h.boxes.shown[0], "错误", "该记录已经存在，无法添加。");
    expect_box(h.boxes.shown[1], "错误", "请先输入记录名");
    expect_box(h.boxes.shown[2], "错误", "起点或终点输入错误，无法添加。");
    auto* list = h.get<QListWidget>("List1");
    QCOMPARE(list->count(), 2);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QCOMPARE(h.get<QLineEdit>("Text3")->text(), QStringLiteral("Menu"));
    QCOMPARE(h.get<QLineEdit>("Text4")->text(), QStringLiteral("8000"));
    QCOMPARE(h.get<QLineEdit>("Text5")->text(), QStringLiteral("8FFF"));
    h.get<QLineEdit>("Text3")->setText("edited");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QCOMPARE(h.get<QLineEdit>("Text3")->text(), QStringLiteral("Menu"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    QCOMPARE(h.get<QLineEdit>("Text3")->text(), QStringLiteral("开头"));
    QCOMPARE(h.get<QLineEdit>("Text5")->text(), QStringLiteral("1B2FF"));
    QCOMPARE(h.boxes.shown.size(), std::size_t{3});
}

void Form1Test::delete_and_modify_ask_first() {
    Harness h([](Harness& setup) {
        write_bytes(setup.data("Quillmere汉化工具.ini"), "\"A\",\"1\",\"2\"\r\n\"B\",\"3\",\"4\"\r\n\"C\",\"5\",\"6\"\r\n");
    });
    const QString settings = h.data("Quillmere汉化工具.ini");
    const QByteArray before = read_bytes(settings);
    auto* list = h.get<QListWidget>("List1");
    auto click = [&](const char* name) { h.click(name); };

    // No selection: No says nothing more; Yes names the missing selection.
    h.boxes.answer_next(Answer::no);
    click("Command2");
    h.boxes.answer_next(Answer::yes);
    click("Command2");
    h.boxes.answer_next(Answer::no);
    click("Command3");
    h.get<QLineEdit>("Text3")->clear();
    h.boxes.answer_next(Answer::yes);
    click("Command3");
    QCOMPARE(h.boxes.shown.size(), std::size_t{6});
    expect_question(h.boxes.shown[0], "要删除记录吗？");
    expect_question(h.boxes.shown[1], "要删除记录吗？");
    expect_box(h.boxes.shown[2], "错误", "请先选择一个记录名");
    expect_question(h.boxes.shown[3], "要修改记录吗？");
    expect_question(h.boxes.shown[4], "要修改记录吗？");
    expect_box(h.boxes.shown[5], "错误", "无记录名，无法修改");
    QCOMPARE(read_bytes(settings), before);
    QCOMPARE(list->count(), 3);

    // Modify the selected record.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    h.get<QLineEdit>("Text3")->setText("A");
    h.get<QLineEdit>("Text5")->setText("40");
    h.boxes.answer_next(Answer::no);
    click("Command3");
    QCOMPARE(read_bytes(settings), before);
    h.boxes.answer_next(Answer::yes);
    click("Command3");
    QCOMPARE(list->item(1)->text(), QStringLiteral("A"));
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(read_bytes(settings), QByteArray("\"A\",\"1\",\"2\"\r\n\"A\",\"3\",\"40\"\r\n\"C\",\"5\",\"6\"\r\n"));

    // Delete it.
    h.boxes.answer_next(Answer::yes);
    click("Command2");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(1)->text(), QStringLiteral("C"));
    QVERIFY(list->selectedItems().isEmpty());
    QCOMPARE(read_bytes(settings), QByteArray("\"A\",\"1\",\"2\"\r\n\"C\",\"5\",\"6\"\r\n"));
    QCOMPARE(h.boxes.shown.size(), std::size_t{9});
    expect_question(h.boxes.shown[8], "要删除记录吗？");

    // With nothing selected after the delete, a second delete is refused.
    h.boxes.answer_next(Answer::yes);
    click("Command2");
    expect_box(h.boxes.shown.back(), "错误", "请先选择一个记录名");
    QCOMPARE(list->count(), 2);
}

void Form1Test::closing_writes_the_filter_lists() {
    Harness h([](Harness& setup) { write_bytes(setup.data("glq.dat"), "A\r\n\r\nB\r\n"); });
    h.get<QPlainTextEdit>("Text12")->setPlainText("8140=名\n8141=turn1");
    QVERIFY(h.form->close());
    QCOMPARE(read_bytes(h.data("glq.dat")), QByteArray("A\r\nB\r\n\r\n"));
    QCOMPARE(read_bytes(h.data("glq2.dat")), gbk(u"8140=名\r\n8141=turn1\r\n"));
    QVERIFY(h.boxes.shown.empty());
}

void Form1Test::closing_without_data_directory_still_closes() {
    Harness h([](Harness& setup) { QDir(setup.data_path).removeRecursively(); });
    h.get<QPlainTextEdit>("Text6")->setPlainText("00=over");
    QVERIFY(h.form->close());
    QVERIFY(!h.form->isVisible());
    QCOMPARE(h.boxes.shown.size(), std::size_t{1});
    expect_box(h.boxes.shown[0], "错误", "过滤区保存失败");
}

void Form1Test::closing_writes_one_list_when_the_other_cannot_be() {
    Harness h([](Harness& setup) { QDir().mkpath(setup.data("glq.dat")); });
    h.get<QPlainTextEdit>("Text12")->setPlainText("8140=over");
    QVERIFY(h.form->close());
    QVERIFY(!h.form->isVisible());
    QCOMPARE(read_bytes(h.data("glq2.dat")), QByteArray("8140=over\r\n"));
    QCOMPARE(h.boxes.shown.size(), std::size_t{1});
    expect_box(h.boxes.shown[0], "错误", "过滤区保存失败");
}

}  // namespace quillmere::ui::testing

QTEST_MAIN(quillmere::ui::testing::Form1Test)
#include "form1_test.moc"
