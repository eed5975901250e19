// The tools window itself: opening it, keeping its choices, stopping a
// command, and the 码表 tab held to quillmere-cli convert-table.

#include <QApplication>
#include <QKeySequence>
#include <QTabBar>
#include <QTableWidget>
#include <QListWidget>
#include <QSemaphore>
#include <QtConcurrent/QtConcurrentRun>

#include "core/commands/messages.hpp"
#include "core/commands/messages_tools.hpp"
#include "form1_harness.hpp"
#include "tools_harness.hpp"
#include "ui/tools/tools_settings.hpp"

namespace quillmere::ui::testing {

class ToolsWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void convert_table_matches_cli_data();
    void convert_table_matches_cli();
    void cancel_writes_nothing_data();
    void cancel_writes_nothing();
    void choices_kept_between_runs();
    void opened_from_main_window();
    void every_control_named();
};

namespace {

const char* const kOutputs[] = {"t1.tbl", "t2.tbl", "f1.txt", "f2.txt"};

}  // namespace

void ToolsWindowTest::convert_table_matches_cli_data() {
    QTest::addColumn<QByteArray>("source");  // empty: the sample's combined table
    QTest::addColumn<int>("source_encoding");  // auto, utf-8, gbk
    QTest::addColumn<int>("out_encoding");     // gbk, utf-8
    QTest::addColumn<bool>("clash");           // the single-byte table named twice
    QTest::newRow("sample") << QByteArray() << 0 << 0 << false;
    QTest::newRow("sample, utf-8 out") << QByteArray() << 1 << 1 << false;
    QTest::newRow("refused line") << QByteArray("@t\n41=A\n$42=x\n43\n") << 0 << 0 << false;
    QTest::newRow("labels and comments") << QByteArray("# c\n\n/00\n*0A=line\n41=A\n") << 0 << 0 << false;
    QTest::newRow("nothing to convert") << QByteArray("# only a comment\n") << 2 << 0 << false;
    QTest::newRow("two names for one file") << QByteArray() << 0 << 0 << true;
}

void ToolsWindowTest::convert_table_matches_cli() {
    QFETCH(QByteArray, source);
    QFETCH(int, source_encoding);
    QFETCH(int, out_encoding);
    QFETCH(bool, clash);
    ToolsHarness h;
    QString source_path = sample("combined.tbl");
    if (!source.isEmpty()) {
        source_path = h.file(QStringLiteral("source.tbl"));
        QFile file(source_path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(source);
    }
    auto names = [&](auto where) {
        QStringList paths;
        for (const char* name : kOutputs) paths << where(QString::fromLatin1(name));
        if (clash) paths[1] = paths[0];
        return paths;
    };
    const QStringList window_files = names([&](const QString& n) { return h.out(n); });
    const QStringList cli_files = names([&](const QString& n) { return h.cli(n); });

    h.set("convert_source", source_path);
    h.choose("convert_encoding", source_encoding);
    h.choose("convert_out_encoding", out_encoding);
    h.set("convert_table1", window_files[0]);
    h.set("convert_table2", window_files[1]);
    h.set("convert_filter1", window_files[2]);
    h.set("convert_filter2", window_files[3]);
    h.click("convert_run");

    QStringList args{QStringLiteral("convert-table"), source_path, QStringLiteral("--table1"), cli_files[0],
                     QStringLiteral("--table2"), cli_files[1], QStringLiteral("--filter1"), cli_files[2],
                     QStringLiteral("--filter2"), cli_files[3], QStringLiteral("--out-encoding"),
                     out_encoding == 1 ? QStringLiteral("utf-8") : QStringLiteral("gbk")};
    if (source_encoding > 0) args << QStringLiteral("--encoding") << (source_encoding == 1 ? QStringLiteral("utf-8") : QStringLiteral("gbk"));
    const CliOutcome cli = run_cli(args);
    QVERIFY(!cli.err.isEmpty());
    QCOMPARE(h.same_dir(h.message()), cli.err.first());
    QStringList report;
    const auto* list = h.get<QListWidget>("convert_report");
    for (int i = 0; i < list->count(); ++i) report << list->item(i)->text();
    QCOMPARE(report, cli.err.mid(1));
    for (int i = 0; i < 4; ++i) QCOMPARE(contents(window_files[i]), contents(cli_files[i]));
    // The sample converts; each refusal writes nothing at all.
    QCOMPARE(cli.status == 0, QFile::exists(window_files[0]));
}

void ToolsWindowTest::cancel_writes_nothing_data() {
    // The controls to fill ("name=value"; a value "@X" is the sample's file
    // X, "^X" the file X to write, "#N" a list's choice), the button, the
    // file it would write.
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("output");
    QTest::newRow("码表") << QStringList{QStringLiteral("convert_source=@combined.tbl"), QStringLiteral("convert_table1=^t1.tbl"),
                                         QStringLiteral("convert_table2=^t2.tbl"), QStringLiteral("convert_filter1=^f1.txt"),
                                         QStringLiteral("convert_filter2=^f2.txt")}
                          << QStringLiteral("convert_run") << QStringLiteral("t1.tbl");
    QTest::newRow("查找") << QStringList{QStringLiteral("rom=@sample.gba"), QStringLiteral("find_text=Quillmere"),
                                         QStringLiteral("find_table_file=^found.tbl")}
                          << QStringLiteral("find_make_table") << QStringLiteral("found.tbl");
    QTest::newRow("补丁") << QStringList{QStringLiteral("patch_original=@sample.gba"), QStringLiteral("patch_modified=@sample.gba"),
                                         QStringLiteral("patch_out=^made.bps")}
                          << QStringLiteral("patch_create") << QStringLiteral("made.bps");
    QTest::newRow("协作") << QStringList{QStringLiteral("exchange_script=@translation.txt"), QStringLiteral("exchange_out=^units.po")}
                          << QStringLiteral("exchange_export") << QStringLiteral("units.po");
    QTest::newRow("字库") << QStringList{QStringLiteral("mode=#2"), QStringLiteral("table1=@single.tbl"),
                                         QStringLiteral("charset_script=@translation.txt"),
                                         QStringLiteral("charset_start_code=8140"), QStringLiteral("charset_out=^new.tbl")}
                          << QStringLiteral("charset_run") << QStringLiteral("new.tbl");
    QTest::newRow("指针") << QStringList{QStringLiteral("rom=@sample.gba"), QStringLiteral("pointer_size=2"),
                                         QStringLiteral("pointer_order=LE"), QStringLiteral("pointer_base=0"),
                                         QStringLiteral("pointer_at=0"), QStringLiteral("pointer_count=2"),
                                         QStringLiteral("pointer_list_out=^list.txt")}
                          << QStringLiteral("pointer_list_run") << QStringLiteral("list.txt");
}

void ToolsWindowTest::cancel_writes_nothing() {
    QFETCH(QStringList, fields);
    QFETCH(QString, button);
    QFETCH(QString, output);
    ToolsHarness h;
    for (const QString& field : fields) {
        const QByteArray name = field.section(u'=', 0, 0).toLatin1();
        const QString value = field.section(u'=', 1);
        if (value.startsWith(u'#'))
            h.choose(name.constData(), value.mid(1).toInt());
        else
            h.set(name.constData(), value.startsWith(u'@')   ? sample(value.mid(1).toLatin1().constData())
                                    : value.startsWith(u'^') ? h.out(value.mid(1))
                                                             : value);
    }
    // A table is made of a place found first.
    if (button == QStringLiteral("find_make_table")) {
        h.click("find_run");
        h.get<QTableWidget>("find_hits")->selectRow(0);
    }
    // Without 取消 the command writes its file.
    h.click(button.toLatin1().constData());
    QVERIFY2(QFile::exists(h.out(output)), qPrintable(h.message()));
    QVERIFY(QFile::remove(h.out(output)));
    // The runner's one thread is held, so the command is still waiting
    // when 取消 is clicked, whatever the machine's speed.
    QSemaphore hold;
    auto held = QtConcurrent::run(&h.window->runner().pool(), [&hold] { hold.acquire(); });
    // A failing check below still lets the thread go, or the window would
    // wait for it for ever.
    QSemaphoreReleaser releaser(hold);
    QTest::mouseClick(h.get<QPushButton>(button.toLatin1().constData()), Qt::LeftButton);
    QVERIFY(h.window->runner().busy());
    QVERIFY(!h.get<QWidget>("tabs")->isEnabled());
    QTest::mouseClick(h.get<QPushButton>("cancel"), Qt::LeftButton);
    releaser.cancel();
    hold.release();
    h.window->wait_for_command();
    held.waitForFinished();
    QCOMPARE(h.message(), to_qt(messages::as_line(messages::cancelled())));
    QVERIFY(!QFile::exists(h.out(output)));
    QVERIFY(h.get<QWidget>("tabs")->isEnabled());
}

void ToolsWindowTest::choices_kept_between_runs() {
    ToolsHarness h;
    h.set("rom", QStringLiteral("游戏.gba"));
    h.choose("mode", 2);
    h.tick("hex_bytes", true);
    h.choose("convert_out_encoding", 1);
    h.set("convert_source", QStringLiteral("a=b.tbl"));
    h.window->close();
    const QString file = to_qt(tools_settings_file(to_path(h.data_path)).u16string());
    // GBK with CR LF, like the program's other files.
    QVERIFY(contents(file).contains(gbk(u"rom=游戏.gba\r\n")));
    h.open();
    QCOMPARE(h.get<QLineEdit>("rom")->text(), QStringLiteral("游戏.gba"));
    QCOMPARE(h.get<QComboBox>("mode")->currentIndex(), 2);
    QVERIFY(h.get<QCheckBox>("hex_bytes")->isChecked());
    QCOMPARE(h.get<QComboBox>("convert_out_encoding")->currentIndex(), 1);
    QCOMPARE(h.get<QLineEdit>("convert_source")->text(), QStringLiteral("a=b.tbl"));
    // A value the file's encoding cannot hold is left out; the rest is kept.
    h.set("rom", QStringLiteral("\U0001F600.gba"));
    h.window->close();
    h.open();
    QCOMPARE(h.get<QLineEdit>("rom")->text(), QString());
    QCOMPARE(h.get<QComboBox>("mode")->currentIndex(), 2);
}

void ToolsWindowTest::opened_from_main_window() {
    Harness main;
    main.form->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(sample("sample.gba"));
    main.form->findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(sample("double.tbl"));
    main.get<QPlainTextEdit>("Text12")->setPlainText(QStringLiteral("FFFF=x"));
    main.form->findChild<QCheckBox*>(QStringLiteral("Check2"))->setChecked(true);
    main.get<QPlainTextEdit>("Text6")->setPlainText(QStringLiteral("41=A"));
    main.form->findChild<QCheckBox*>(QStringLiteral("Check3"))->setChecked(false);
    main.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main.form.get()));
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : main.form.get();
    QTest::keyClick(focus, Qt::Key_T, Qt::ControlModifier);
    ToolsWindow* opened = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* tools = qobject_cast<ToolsWindow*>(top); tools && tools->isVisible()) opened = tools;
    QVERIFY(opened != nullptr);
    QVERIFY(main.form->findChild<ToolsWindow*>() == nullptr);  // a window of its own
    ToolsWindow& window = main.form->open_tools();
    QCOMPARE(&window, opened);
    QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("rom"))->text(), sample("sample.gba"));
    QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("table2"))->text(), sample("double.tbl"));
    QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("mode"))->currentIndex(), 1);
    auto tables = window.findChild<SharedPanel*>()->tables();
    QVERIFY(tables.has_value());
    QCOMPARE(to_qt(tables->double_filter.text), QStringLiteral("FFFF=x"));
    QVERIFY(tables->double_filter.ticked);
    QVERIFY(!tables->single_filter.ticked);
    QVERIFY(!tables->data_dir.has_value());
}

void ToolsWindowTest::every_control_named() {
    ToolsHarness h;
    const auto controls = h.window->findChildren<QWidget*>();
    int checked = 0;
    for (const QWidget* control : controls) {
        if (!control->focusPolicy() || control->objectName().startsWith(QStringLiteral("qt_"))) continue;
        if (qobject_cast<const QTabBar*>(control)) continue;
        QVERIFY2(!control->objectName().isEmpty(), control->metaObject()->className());
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        ++checked;
    }
    QVERIFY(checked > 20);
    // Tab walks the shared settings and the tabs as they read.
    QStringList chain;
    for (QWidget* widget = h.window->nextInFocusChain(); widget != h.window.get(); widget = widget->nextInFocusChain())
        if (widget->focusPolicy() & Qt::TabFocus) chain << widget->objectName();
    const auto at = [&](const char* name) { return chain.indexOf(QString::fromLatin1(name)); };
    QVERIFY(at("rom") >= 0);
    QVERIFY(at("rom") < at("rom_browse"));
    QVERIFY(at("rom_browse") < at("mode"));
    QVERIFY(at("hex_bytes") < at("check_script"));
    QVERIFY(at("check_script") < at("check_run"));
    // 取消 and the message, below the tabs, come after every control of them.
    QVERIFY(at("cancel") > at("check_run"));
    QStringList after_cancel = chain.mid(at("cancel") + 1);
    after_cancel.removeAll(QStringLiteral("message"));
    QVERIFY2(after_cancel.isEmpty(), qPrintable(after_cancel.join(u' ')));
}

}  // namespace quillmere::ui::testing

QTEST_MAIN(quillmere::ui::testing::ToolsWindowTest)
#include "tools_window_test.moc"
