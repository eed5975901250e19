// The window doing a translator's job: choose the files, export, save the
// text, load the translation, check it and import it into the ROM.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "form1_harness.hpp"

namespace quillmere::ui::testing {
namespace {

// A, 啊, 阿 and an end code; an unknown byte; B, B and an end code; unknown bytes.
const QByteArray kRom = QByteArray::fromHex("418140814100FF424200FFFFFFFFFFFF");
const std::u16string kExport = u"0,6,A啊阿{结束符00}\r\n\r\n7,3,BB{结束符00}\r\n\r\n";

void expect_box(const ShownBox& box, const QString& title, const QString& text) {
    QCOMPARE(box.title, title);
    QCOMPARE(box.text, text);
    QVERIFY(box.buttons == Buttons::ok);
    QVERIFY(box.icon == Icon::none);
}

// The window with the sample ROM and tables chosen, both-tables mode, the
// single-byte filter list ticked and the range 0-F typed.
struct JobHarness : Harness {
    JobHarness() {
        rom = file("game.gba");
        write_bytes(rom, kRom);
        write_bytes(file("single.tbl"), "41=A\r\n42=B\r\n");
        write_bytes(file("double.tbl"), gbk(u"8140=啊\r\n8141=阿\r\n8142=埃\r\n"));
        dialogs.answer_next(rom);
        dialogs.answer_next(file("double.tbl"));
        dialogs.answer_next(file("single.tbl"));
        click("openrom");
        click("opentlb");
        QTest::mouseClick(get<QRadioButton>("Option3"), Qt::LeftButton);
        click("Command6");
        get<QPlainTextEdit>("Text6")->setPlainText("00=over");
        get<QCheckBox>("Check3")->setChecked(true);
        get<QLineEdit>("Text4")->setText("0");
        get<QLineEdit>("Text5")->setText("F");
    }
    QString rom;
};

}  // namespace

class Form1JobTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void whole_job_with_the_preview_on();
    void export_without_preview_goes_to_a_named_file();
    void export_refusals_and_empty_results();
    void check_and_import_read_the_translation_file_without_preview();
    void import_stops_at_an_entry_that_is_too_long();
    void export_and_saved_text_never_land_on_the_rom();
    void minimum_and_tag_range_reach_the_commands();
    void missing_data_directory_fails_the_ticked_filter_list();
};

void Form1JobTest::whole_job_with_the_preview_on() {
    JobHarness h;
    QCOMPARE(h.get<QLineEdit>("Text1")->text(), h.rom);
    QCOMPARE(h.get<QLineEdit>("Text13")->text(), h.file("single.tbl"));

    QTest::mouseClick(h.get<QCheckBox>("Check4"), Qt::LeftButton);
    h.click("gettext");
    QCOMPARE(h.boxes.shown.size(), std::size_t{1});
    expect_box(h.boxes.shown[0], "提示", "文本已顺利导出");
    QCOMPARE(core_text_of(h.get<QPlainTextEdit>("text9")), to_qt(kExport));
    QCOMPARE(h.dialogs.calls.size(), std::size_t{3});
    QVERIFY(h.get<QCheckBox>("Check3")->isChecked());
    QCOMPARE(read_bytes(h.data("temp3.txt")), QByteArray("00=over\r\n"));

    h.get<QLineEdit>("Text3")->setText("job");
    h.dialogs.answer_next(h.file("job.txt"));
    h.click("Command4");
    QCOMPARE(h.dialogs.calls.back().initial_name, QStringLiteral("job"));
    expect_box(h.boxes.shown.back(), "提示", "保存文本成功");
    QCOMPARE(read_bytes(h.file("job.txt")), gbk(kExport + u"\r\n"));

    // The translator shortens both entries; the fill byte pads them.
    const QString translation = h.file("译文.txt");
    write_bytes(translation, gbk(u"0,6,埃B{结束符00}\r\n\r\n7,3,A{结束符00}\r\n"));
    h.dialogs.answer_next(translation);
    h.click("openyw");
    expect_box(h.boxes.shown.back(), "提示", "译文读取成功");
    QCOMPARE(core_text_of(h.get<QPlainTextEdit>("text10")), QStringLiteral("0,6,埃B{结束符00}\r\n\r\n7,3,A{结束符00}\r\n"));

    h.click("Command5");
    expect_box(h.boxes.shown.back(), "提示", "此文本为合法文本");
    QVERIFY(QFile::exists(h.data("temp.txt")));

    h.get<QLineEdit>("Text14")->setText("FF");
    h.click("intext");
    expect_box(h.boxes.shown.back(), "提示", "文本导入成功");
    QCOMPARE(read_bytes(h.rom), QByteArray::fromHex("81424200FFFFFF4100FFFFFFFFFFFFFF"));
    QCOMPARE(h.boxes.shown.size(), std::size_t{5});
}

void Form1JobTest::export_without_preview_goes_to_a_named_file() {
    JobHarness h;
    h.click("gettext");
    expect_box(h.boxes.shown.back(), "错误", "请先输入名称");

    h.get<QLineEdit>("Text3")->setText("开头");
    h.dialogs.answer_next(std::nullopt);
    h.click("gettext");
    QCOMPARE(h.boxes.shown.size(), std::size_t{1});
    QVERIFY(h.dialogs.calls.back().kind == DialogCall::Kind::save);
    QCOMPARE(h.dialogs.calls.back().filter_list, QStringLiteral("*.txt|*.txt"));
    QCOMPARE(h.dialogs.calls.back().initial_name, QStringLiteral("开头"));

    const QString out = h.file("out.txt");
    h.dialogs.answer_next(out);
    h.click("gettext");
    expect_box(h.boxes.shown.back(), "提示", "文本已顺利导出");
    QCOMPARE(read_bytes(out), gbk(kExport + u"\r\n"));
    QCOMPARE(h.get<QPlainTextEdit>("text9")->toPlainText(), QString());

    // The next dialog proposes the file just written.
    h.dialogs.answer_next(std::nullopt);
    h.click("openyw");
    QCOMPARE(h.dialogs.calls.back().initial_name, out);
}

void Form1JobTest::export_refusals_and_empty_results() {
    JobHarness h;
    h.get<QCheckBox>("Check4")->setChecked(true);
    h.get<QPlainTextEdit>("text9")->setPlainText("earlier");

    h.get<QLineEdit>("Text5")->setText("G0");
    h.click("gettext");
    expect_box(h.boxes.shown.back(), "错误", "文本开始地址或结束地址输入错误");

    // An empty list is unticked; every byte then matches, so no run closes.
    h.get<QLineEdit>("Text5")->setText("4");
    h.get<QPlainTextEdit>("Text6")->clear();
    h.get<QCheckBox>("Check2")->setChecked(true);
    h.click("gettext");
    QVERIFY(!h.get<QCheckBox>("Check3")->isChecked());
    QVERIFY(!h.get<QCheckBox>("Check2")->isChecked());
    expect_box(h.boxes.shown.back(), "提示", "导出文本失败");
    QCOMPARE(h.get<QPlainTextEdit>("text9")->toPlainText(), QString());

    h.get<QLineEdit>("Text1")->clear();
    h.click("gettext");
    expect_box(h.boxes.shown.back(), "错误", "请先选择一个ROM");
    QCOMPARE(h.boxes.shown.size(), std::size_t{3});
    QCOMPARE(h.dialogs.calls.size(), std::size_t{3});
}

void Form1JobTest::check_and_import_read_the_translation_file_without_preview() {
    JobHarness h;
    h.click("Command5");
    expect_box(h.boxes.shown.back(), "错误", "请选择一个文本");

    const QString translation = h.file("t.txt");
    write_bytes(translation, gbk(u"7,3,AB{结束符00}\r\n"));
    h.dialogs.answer_next(translation);
    h.click("openyw");
    QVERIFY(h.boxes.shown.size() == 1);  // the preview is off: nothing loaded, no message
    // text10 is not the script while the preview is off.
    h.get<QPlainTextEdit>("text10")->setPlainText("0,1,啊");

    h.click("Command5");
    expect_box(h.boxes.shown.back(), "提示", "此文本为合法文本");
    h.click("intext");
    expect_box(h.boxes.shown.back(), "提示", "文本导入成功");
    QCOMPARE(read_bytes(h.rom), QByteArray::fromHex("418140814100FF414200FFFFFFFFFFFF"));

    h.get<QLineEdit>("Text1")->clear();
    h.click("intext");
    expect_box(h.boxes.shown.back(), "错误", "请先选择一个ROM");
}

void Form1JobTest::import_stops_at_an_entry_that_is_too_long() {
    JobHarness h;
    h.get<QCheckBox>("Check4")->setChecked(true);
    h.get<QPlainTextEdit>("text10")->setPlainText("0,6,BBBBBB\n\n7,3,啊啊\n");
    h.click("Command5");
    expect_box(h.boxes.shown.back(), "错误", "7行的文本超出原长 1个字节");
    const QByteArray before = read_bytes(h.rom);
    h.click("intext");
    expect_box(h.boxes.shown.back(), "错误", "7行的文本超出原长 1个字节");
    // Not even the good first entry went in.
    QCOMPARE(read_bytes(h.rom), before);
}

void Form1JobTest::export_and_saved_text_never_land_on_the_rom() {
    JobHarness h;
    QFile::link(h.rom, h.file("link.gba"));
    h.get<QLineEdit>("Text3")->setText("job");
    h.dialogs.answer_next(h.file("link.gba"));
    h.click("gettext");
    expect_box(h.boxes.shown.back(), "错误", "不能把文本写入正在读取的ROM文件");
    h.get<QPlainTextEdit>("text9")->setPlainText("0,6,A");
    h.dialogs.answer_next(h.rom);
    h.click("Command4");
    expect_box(h.boxes.shown.back(), "错误", "不能把文本写入正在读取的ROM文件");
    QCOMPARE(read_bytes(h.rom), kRom);
    QVERIFY(QFileInfo(h.file("link.gba")).isSymLink());
}

void Form1JobTest::minimum_and_tag_range_reach_the_commands() {
    JobHarness h;
    h.get<QCheckBox>("Check4")->setChecked(true);
    h.get<QLineEdit>("Text15")->setText("3");
    h.click("gettext");
    QCOMPARE(core_text_of(h.get<QPlainTextEdit>("text9")), QStringLiteral("0,6,A啊阿{结束符00}\r\n\r\n"));

    // The double-byte tag {名} is 81 42, searched only within Text16-Text17.
    h.get<QPlainTextEdit>("Text12")->setPlainText("8142=名");
    h.get<QCheckBox>("Check2")->setChecked(true);
    h.get<QPlainTextEdit>("text10")->setPlainText("7,3,{名}A");
    h.click("Command5");
    expect_box(h.boxes.shown.back(), "提示", "此文本为合法文本");
    h.get<QLineEdit>("Text17")->setText("33089");  // 8141
    h.click("Command5");
    expect_box(h.boxes.shown.back(), "错误", "7行出错，过滤区中缺少[{名}]");
}

void Form1JobTest::missing_data_directory_fails_the_ticked_filter_list() {
    JobHarness h;
    QDir(h.data_path).removeRecursively();
    h.get<QCheckBox>("Check4")->setChecked(true);
    h.click("gettext");
    expect_box(h.boxes.shown.back(), "错误", "单字节过滤填写错误");
    QCOMPARE(h.get<QPlainTextEdit>("text9")->toPlainText(), QString());
}

}  // namespace quillmere::ui::testing

QTEST_MAIN(quillmere::ui::testing::Form1JobTest)
#include "form1_job_test.moc"
