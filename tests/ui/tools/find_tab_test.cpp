// 查找 held to quillmere-cli find on the sample: the same places, the same
// message, and the same code table written from a chosen place.

#include <QTableWidget>

#include "tools_harness.hpp"

namespace quillmere::ui::testing {

class FindTabTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void find_matches_cli_data();
    void find_matches_cli();
};

namespace {

const char* const kModes[] = {"relative", "values", "pattern", "text"};

}  // namespace

void FindTabTest::find_matches_cli_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("values");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("hit");  // 0: no table; else the place to make one of
    QTest::newRow("relative") << 0 << QStringLiteral("Quillmere") << QString() << 100 << 0;
    QTest::newRow("relative, table of place 1") << 0 << QStringLiteral("Quillmere") << QString() << 100 << 1;
    QTest::newRow("values") << 1 << QStringLiteral("STAR") << QStringLiteral("53,54,41,52") << 100 << 0;
    QTest::newRow("pattern, two listed") << 2 << QStringLiteral("l*ve*l") << QString() << 2 << 0;
    QTest::newRow("pattern, table of place 3") << 2 << QStringLiteral("l*ve*l") << QString() << 100 << 3;
    QTest::newRow("text through the tables") << 3 << QStringLiteral("欢迎") << QString() << 100 << 0;
    QTest::newRow("nothing there") << 0 << QStringLiteral("zzzzzzzzzzzzzzzzzzzz") << QString() << 100 << 0;
    QTest::newRow("no such values") << 1 << QString() << QStringLiteral("1,2,oops") << 100 << 0;
}

void FindTabTest::find_matches_cli() {
    QFETCH(int, mode);
    QFETCH(QString, text);
    QFETCH(QString, values);
    QFETCH(int, max);
    QFETCH(int, hit);
    ToolsHarness h;
    h.set("rom", sample("sample.gba"));
    h.choose("mode", 2);
    h.set("table1", sample("single.tbl"));
    h.set("table2", sample("double.tbl"));
    h.set("filter1", sample("filter1.txt"));
    h.set("filter2", sample("filter2.txt"));
    h.choose("find_mode", mode);
    h.set("find_text", text);
    h.set("find_values", values);
    h.number("find_max", max);
    h.click("find_run");

    QStringList args{QStringLiteral("find"), QString::fromLatin1(kModes[mode]), QStringLiteral("--rom"),
                     sample("sample.gba"), QStringLiteral("--max"), QString::number(max)};
    if (!text.isEmpty()) args << QStringLiteral("--text") << text;
    if (mode == 1) args << QStringLiteral("--values") << values;
    if (mode == 3)
        args << QStringLiteral("--mode") << QStringLiteral("both") << QStringLiteral("--table1") << sample("single.tbl")
             << QStringLiteral("--table2") << sample("double.tbl") << QStringLiteral("--filter1")
             << sample("filter1.txt") << QStringLiteral("--filter2") << sample("filter2.txt");
    const CliOutcome listed = run_cli(args);
    QVERIFY(!listed.err.isEmpty());
    QCOMPARE(h.message(), listed.err.last());
    const auto* hits = h.get<QTableWidget>("find_hits");
    QStringList shown;
    for (int row = 0; row < hits->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < hits->columnCount(); ++column) cells << hits->item(row, column)->text();
        shown << cells.join(u'\t');
    }
    QCOMPARE(shown, listed.out);
    if (hit == 0) return;

    h.get<QTableWidget>("find_hits")->selectRow(hit - 1);
    h.set("find_table_file", h.out(QStringLiteral("found.tbl")));
    h.click("find_make_table");
    const CliOutcome made = run_cli(args + QStringList{QStringLiteral("--make-table"), h.cli(QStringLiteral("found.tbl")),
                                                       QStringLiteral("--hit"), QString::number(hit)});
    QCOMPARE(made.status, 0);
    QCOMPARE(h.same_dir(h.message()), made.err.last());
    QCOMPARE(contents(h.out(QStringLiteral("found.tbl"))), contents(h.cli(QStringLiteral("found.tbl"))));
    // The places stay as the search listed them.
    QCOMPARE(hits->rowCount(), shown.size());
}

}  // namespace quillmere::ui::testing

QTEST_MAIN(quillmere::ui::testing::FindTabTest)
#include "find_tab_test.moc"
