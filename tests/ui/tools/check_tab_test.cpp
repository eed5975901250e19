// 检查 held to quillmere-cli check on the sample's export: the same
// problems, in order, and the same summing-up message.

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>

#include "tools_harness.hpp"
#include "ui/tools/script_places.hpp"

namespace quillmere::ui::testing {

class CheckTabTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void check_matches_cli_data();
    void check_matches_cli();
    void places_of_messages_data();
    void places_of_messages();

private:
    QTemporaryDir scratch_;
    QString script_;
};

namespace {

QStringList sample_tables() {
    return {QStringLiteral("--mode"),    QStringLiteral("both"),        QStringLiteral("--table1"),
            sample("single.tbl"),        QStringLiteral("--table2"),    sample("double.tbl"),
            QStringLiteral("--filter1"), sample("filter1.txt"),         QStringLiteral("--filter2"),
            sample("filter2.txt")};
}

void set_sample_tables(ToolsHarness& h) {
    h.choose("mode", 2);
    h.set("table1", sample("single.tbl"));
    h.set("table2", sample("double.tbl"));
    h.set("filter1", sample("filter1.txt"));
    h.set("filter2", sample("filter2.txt"));
}

}  // namespace

void CheckTabTest::initTestCase() {
    script_ = scratch_.filePath(QStringLiteral("script.txt"));
    const CliOutcome exported = run_cli(QStringList{QStringLiteral("export"), QStringLiteral("--rom"), sample("sample.gba"),
                                                    QStringLiteral("--start"), QStringLiteral("0"), QStringLiteral("--end"),
                                                    QStringLiteral("1FF"), QStringLiteral("--out"), script_} +
                                        sample_tables());
    QCOMPARE(exported.status, 0);
}

void CheckTabTest::check_matches_cli_data() {
    QTest::addColumn<QByteArray>("script");  // empty: the sample's export
    QTest::addColumn<QStringList>("limits");  // CLI options; each sets its control
    QTest::addColumn<bool>("all");
    QTest::newRow("export, no limits") << QByteArray() << QStringList() << true;
    QTest::newRow("20 characters a line")
        << QByteArray() << QStringList{QStringLiteral("--line-break"), QStringLiteral("换行"), QStringLiteral("--max-chars"), QStringLiteral("20")} << true;
    QTest::newRow("one line a box, 5 characters")
        << QByteArray() << QStringList{QStringLiteral("--line-break"), QStringLiteral("换行"), QStringLiteral("--max-chars"), QStringLiteral("5"),
                                       QStringLiteral("--max-lines"), QStringLiteral("1")} << true;
    QTest::newRow("first failure only")
        << QByteArray() << QStringList{QStringLiteral("--line-break"), QStringLiteral("换行"), QStringLiteral("--max-chars"), QStringLiteral("5")} << false;
    QTest::newRow("too long and unknown")
        << QByteArray("C0,6,\xd0\xc2\xd3\xce\xcf\xb7\xd3\xce\xcf\xb7\r\n\r\nC7,8,\xb0\xa1\r\nzz,1,A\r\n") << QStringList() << true;
}

void CheckTabTest::check_matches_cli() {
    QFETCH(QByteArray, script);
    QFETCH(QStringList, limits);
    QFETCH(bool, all);
    ToolsHarness h;
    QString path = script_;
    if (!script.isEmpty()) {
        path = h.file(QStringLiteral("script.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(script);
    }
    set_sample_tables(h);
    h.set("check_script", path);
    h.tick("check_all", all);
    for (qsizetype i = 0; i + 1 < limits.size(); i += 2) {
        const QString& option = limits[i];
        if (option == QStringLiteral("--line-break")) h.set("check_line_break", limits[i + 1]);
        if (option == QStringLiteral("--max-chars")) h.number("check_max_chars", limits[i + 1].toInt());
        if (option == QStringLiteral("--max-lines")) h.number("check_max_lines", limits[i + 1].toInt());
    }
    h.get<QTabWidget>("tabs")->setCurrentWidget(h.get<QWidget>("check_tab_scroll"));
    h.click("check_run");

    QStringList args = QStringList{QStringLiteral("check"), QStringLiteral("--script"), path} + sample_tables() + limits;
    if (all) args << QStringLiteral("--all");
    const CliOutcome cli = run_cli(args);
    QVERIFY(!cli.err.isEmpty());
    QCOMPARE(h.message(), cli.err.last());
    const auto* problems = h.get<QTableWidget>("check_problems");
    QStringList shown;
    for (int row = 0; row < problems->rowCount(); ++row) shown << problems->item(row, 2)->text();
    QCOMPARE(shown, all ? cli.err.mid(0, cli.err.size() - 1) : QStringList());
    // Each problem points at its entry's line, whose text a double-click shows.
    for (int row = 0; row < problems->rowCount(); ++row) {
        const QString address = problems->item(row, 0)->text();
        QVERIFY(!address.isEmpty());
        QVERIFY(!problems->item(row, 1)->text().isEmpty());
        const QPoint cell = problems->visualItemRect(problems->item(row, 0)).center();
        // The view takes a double-click only on the cell it was pressed on.
        QTest::mousePress(problems->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(problems->viewport(), Qt::LeftButton, {}, cell);
        QVERIFY(h.get<QPlainTextEdit>("check_entry")->toPlainText().startsWith(address + u','));
    }
}

void CheckTabTest::places_of_messages_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("line");
    QTest::newRow("first entry") << QStringLiteral("10行出错") << QStringLiteral("10") << 1;
    QTest::newRow("not a prefix of a longer address") << QStringLiteral("1行出错") << QStringLiteral("1") << 5;
    QTest::newRow("after an empty line") << QStringLiteral("C0行的文本超出原长 2个字节") << QStringLiteral("C0") << 3;
    QTest::newRow("no entry named") << QStringLiteral("共3条，1条出错") << QString() << 0;
}

void CheckTabTest::places_of_messages() {
    QFETCH(QString, message);
    QFETCH(QString, address);
    QFETCH(int, line);
    const QStringList lines = script_lines(QStringLiteral("10,2,a\r\n\r\nC0,1,b\nFF,1,c\r1,1,d"));
    const auto place = place_of(message, lines);
    QCOMPARE(place.has_value(), line > 0);
    if (!place) return;
    QCOMPARE(place->address, address);
    QCOMPARE(place->line, line);
}

}  // namespace quillmere::ui::testing

QTEST_MAIN(quillmere::ui::testing::CheckTabTest)
#include "check_tab_test.moc"
