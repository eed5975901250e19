// 协作 held to quillmere-cli exchange export|import on the sample's export:
// the same files byte for byte, the same problems and message.

#include <QListWidget>

#include "tools_harness.hpp"

namespace quillmere::ui::testing {

class ExchangeTabTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void exchange_matches_cli_data();
    void exchange_matches_cli();

private:
    QTemporaryDir scratch_;
    QString script_;
};

namespace {

const char* const kFormats[] = {"po", "csv", "json"};

}  // namespace

void ExchangeTabTest::initTestCase() {
    script_ = scratch_.filePath(QStringLiteral("script.txt"));
    const CliOutcome exported = run_cli(
        {QStringLiteral("export"), QStringLiteral("--rom"), sample("sample.gba"), QStringLiteral("--start"),
         QStringLiteral("0"), QStringLiteral("--end"), QStringLiteral("1FF"), QStringLiteral("--out"), script_,
         QStringLiteral("--mode"), QStringLiteral("both"), QStringLiteral("--table1"), sample("single.tbl"),
         QStringLiteral("--table2"), sample("double.tbl"), QStringLiteral("--filter1"), sample("filter1.txt"),
         QStringLiteral("--filter2"), sample("filter2.txt")});
    QCOMPARE(exported.status, 0);
}

void ExchangeTabTest::exchange_matches_cli_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("limits");       // 换行 and 20 characters a line in the notes
    QTest::addColumn<bool>("require_all");  // the import refuses, since nothing is translated
    QTest::addColumn<bool>("over_script");  // the export's output names the script
    QTest::newRow("po") << 0 << false << false << false;
    QTest::newRow("po with limits") << 0 << true << false << false;
    QTest::newRow("csv") << 1 << false << false << false;
    QTest::newRow("json with limits") << 2 << true << false << false;
    QTest::newRow("po, every record required") << 0 << false << true << false;
    QTest::newRow("export over its script") << 0 << false << false << true;
}

void ExchangeTabTest::exchange_matches_cli() {
    QFETCH(int, format);
    QFETCH(bool, limits);
    QFETCH(bool, require_all);
    QFETCH(bool, over_script);
    ToolsHarness h;
    const QString name = QStringLiteral("units.") + QString::fromLatin1(kFormats[format]);
    h.set("exchange_script", script_);
    h.choose("exchange_format", format);
    h.set("exchange_out", over_script ? script_ : h.out(name));
    if (limits) {
        h.set("exchange_line_break", QStringLiteral("换行"));
        h.number("exchange_max_chars", 20);
    }
    const QByteArray script_before = contents(script_);
    h.click("exchange_export");
    QStringList args{QStringLiteral("exchange"), QStringLiteral("export"), QStringLiteral("--script"), script_,
                     QStringLiteral("--format"), QString::fromLatin1(kFormats[format]), QStringLiteral("--out"),
                     over_script ? script_ : h.cli(name)};
    if (limits) args << QStringLiteral("--line-break") << QStringLiteral("换行") << QStringLiteral("--max-chars") << QStringLiteral("20");
    const CliOutcome exported = run_cli(args);
    QCOMPARE(h.same_dir(h.message()), exported.err.last());
    QCOMPARE(contents(h.out(name)), contents(h.cli(name)));
    QCOMPARE(contents(script_), script_before);
    if (over_script) return;

    // Back from the command line's file, into a script each.
    h.set("exchange_from", h.cli(name));
    h.choose("exchange_import_format", format);
    h.set("exchange_import_script", script_);
    h.set("exchange_import_out", h.out(QStringLiteral("back.txt")));
    h.tick("exchange_require_all", require_all);
    h.click("exchange_import");
    QStringList back{QStringLiteral("exchange"), QStringLiteral("import"), QStringLiteral("--from"), h.cli(name),
                     QStringLiteral("--format"), QString::fromLatin1(kFormats[format]), QStringLiteral("--script"),
                     script_, QStringLiteral("--out"), h.cli(QStringLiteral("back.txt"))};
    if (require_all) back << QStringLiteral("--require-all");
    const CliOutcome imported = run_cli(back);
    QCOMPARE(h.same_dir(h.message()), imported.err.last());
    QStringList problems;
    const auto* list = h.get<QListWidget>("exchange_problems");
    for (int i = 0; i < list->count(); ++i) problems << list->item(i)->text();
    QCOMPARE(problems, imported.err.mid(0, imported.err.size() - 1));
    QCOMPARE(contents(h.out(QStringLiteral("back.txt"))), contents(h.cli(QStringLiteral("back.txt"))));
    QCOMPARE(imported.status == 0, !require_all);
}

}  // namespace quillmere::ui::testing

QTEST_MAIN(quillmere::ui::testing::ExchangeTabTest)
#include "exchange_tab_test.moc"
