// 指针 held to quillmere-cli pointers table|scan, check and import on the
// pointer sample: the same lists and images byte for byte, the same moves
// and messages.

#include <QListWidget>
#include <QTableWidget>

#include "core/commands/messages.hpp"
#include "core/commands/messages_tools.hpp"
#include "core/text/gbk.hpp"
#include "tools_harness.hpp"

namespace quillmere::ui::testing {

class PointersTabTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void list_matches_cli_data();
    void list_matches_cli();
    void import_matches_cli_data();
    void import_matches_cli();

private:
    QString at(const char* name) const { return scratch_.filePath(QString::fromLatin1(name)); }
    QStringList tables() const {
        return {QStringLiteral("--mode"),   QStringLiteral("both"),  QStringLiteral("--table1"), at("single.tbl"),
                QStringLiteral("--table2"), at("double.tbl"),        QStringLiteral("--filter1"), at("filter1.txt")};
    }
    void set_tables(ToolsHarness& h) const {
        h.set("rom", at("pointers.gba"));
        h.choose("mode", 2);
        h.set("table1", at("single.tbl"));
        h.set("table2", at("double.tbl"));
        h.set("filter1", at("filter1.txt"));
    }

    QTemporaryDir scratch_;
};

void PointersTabTest::initTestCase() {
    QProcess make;
    make.start(QStringLiteral("bash"), {QStringLiteral(QUILLMERE_EXAMPLES_DIR "/make_pointer_sample.sh"), scratch_.path()});
    QVERIFY(make.waitForFinished(60000));
    QCOMPARE(make.exitCode(), 0);
    QCOMPARE(run_cli({QStringLiteral("pointers"), QStringLiteral("table"), QStringLiteral("--rom"), at("pointers.gba"),
                      QStringLiteral("--at"), QStringLiteral("0"), QStringLiteral("--count"), QStringLiteral("3"),
                      QStringLiteral("--size"), QStringLiteral("4"), QStringLiteral("--order"), QStringLiteral("LE"),
                      QStringLiteral("--base"), QStringLiteral("8000000"), QStringLiteral("--out"), at("table.txt")})
                 .status,
             0);
    QCOMPARE(run_cli(QStringList{QStringLiteral("export"), QStringLiteral("--rom"), at("pointers.gba"),
                                 QStringLiteral("--pointers"), at("table.txt"), QStringLiteral("--out"), at("script.txt")} +
                     tables())
                 .status,
             0);
    QCOMPARE(run_cli({QStringLiteral("pointers"), QStringLiteral("scan"), QStringLiteral("--rom"), at("pointers.gba"),
                      QStringLiteral("--script"), at("script.txt"), QStringLiteral("--size"), QStringLiteral("4"),
                      QStringLiteral("--order"), QStringLiteral("LE"), QStringLiteral("--base"), QStringLiteral("8000000"),
                      QStringLiteral("--align"), QStringLiteral("4"), QStringLiteral("--out"), at("all.txt")})
                 .status,
             0);
    auto translation = text::encode_gbk(u"40,7,你好，旅行者！{结束符00}\r\n\r\n50,5,商店{结束符00}\r\n\r\n60,5,再见。{结束符00}\r\n");
    QVERIFY(translation.has_value());
    QFile file(at("translation.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(translation->data()), static_cast<qsizetype>(translation->size()));
}

void PointersTabTest::list_matches_cli_data() {
    QTest::addColumn<bool>("scan");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("pointers");  // lines of the list that are pointers
    QTest::newRow("table of three") << false << QStringLiteral("4") << QStringLiteral("3") << 3;
    QTest::newRow("scan of the export") << true << QStringLiteral("4") << QString() << 4;
    QTest::newRow("a size no pointer has") << false << QStringLiteral("9") << QStringLiteral("3") << 0;
}

void PointersTabTest::list_matches_cli() {
    QFETCH(bool, scan);
    QFETCH(QString, size);
    QFETCH(QString, count);
    QFETCH(int, pointers);
    ToolsHarness h;
    set_tables(h);
    h.choose("pointer_method", scan ? 1 : 0);
    h.set("pointer_size", size);
    h.set("pointer_order", QStringLiteral("LE"));
    h.set("pointer_base", QStringLiteral("8000000"));
    h.set("pointer_at", QStringLiteral("0"));
    h.set("pointer_count", count);
    h.set("pointer_scan_script", at("script.txt"));
    h.set("pointer_scan_align", QStringLiteral("4"));
    h.set("pointer_list_out", h.out(QStringLiteral("list.txt")));
    h.click("pointer_list_run");
    QStringList args{QStringLiteral("pointers"), scan ? QStringLiteral("scan") : QStringLiteral("table"),
                     QStringLiteral("--rom"), at("pointers.gba"), QStringLiteral("--size"), size, QStringLiteral("--order"),
                     QStringLiteral("LE"), QStringLiteral("--base"), QStringLiteral("8000000"), QStringLiteral("--out"),
                     h.cli(QStringLiteral("list.txt"))};
    if (scan)
        args << QStringLiteral("--script") << at("script.txt") << QStringLiteral("--align") << QStringLiteral("4");
    else
        args << QStringLiteral("--at") << QStringLiteral("0") << QStringLiteral("--count") << count;
    const CliOutcome cli = run_cli(args);
    QCOMPARE(h.same_dir(h.message()), cli.err.last());
    QCOMPARE(contents(h.out(QStringLiteral("list.txt"))), contents(h.cli(QStringLiteral("list.txt"))));
    // One row a line of the file, its fields in columns.
    const QStringList lines = to_qt(text::decode_gbk(std::span(reinterpret_cast<const std::uint8_t*>(contents(h.cli(QStringLiteral("list.txt"))).constData()),
                                                               static_cast<std::size_t>(contents(h.cli(QStringLiteral("list.txt"))).size()))).text)
                                  .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const auto* list = h.get<QTableWidget>("pointer_list");
    QCOMPARE(list->rowCount(), pointers == 0 ? 0 : lines.size());
    int shown = 0;
    for (int row = 0; row < list->rowCount(); ++row) {
        QCOMPARE(list->item(row, 0)->text(), lines[row].section(u',', 0, 0));
        if (list->item(row, 2)->text() == QStringLiteral("LE")) ++shown;
    }
    QCOMPARE(shown, pointers);
}

void PointersTabTest::import_matches_cli_data() {
    QTest::addColumn<bool>("import");  // else the plan only
    QTest::addColumn<QString>("free");
    QTest::addColumn<bool>("out");
    QTest::newRow("plan") << false << QStringLiteral("100-1FF") << true;
    QTest::newRow("plan without free space") << false << QString() << true;
    QTest::newRow("import into a new image") << true << QStringLiteral("100-1FF") << true;
    QTest::newRow("import with no file to write") << true << QStringLiteral("100-1FF") << false;
}

void PointersTabTest::import_matches_cli() {
    QFETCH(bool, import);
    QFETCH(QString, free);
    QFETCH(bool, out);
    ToolsHarness h;
    set_tables(h);
    h.set("pointer_import_script", at("translation.txt"));
    h.set("pointer_fill", QStringLiteral("FF"));
    h.set("pointer_import_list", at("all.txt"));
    h.set("pointer_free", free);
    h.set("pointer_align", QStringLiteral("4"));
    if (out) h.set("pointer_import_out", h.out(QStringLiteral("translated.gba")));
    const QByteArray rom = contents(at("pointers.gba"));
    h.click(import ? "pointer_import" : "pointer_plan");
    // The ROM the plan is made from is never written.
    QCOMPARE(contents(at("pointers.gba")), rom);
    if (!out) {
        QCOMPARE(h.message(), to_qt(messages::as_line(messages::choose_import_out())));
        return;
    }
    QStringList args{import ? QStringLiteral("import") : QStringLiteral("check"), QStringLiteral("--rom"),
                     at("pointers.gba"), QStringLiteral("--script"), at("translation.txt"), QStringLiteral("--pointers"),
                     at("all.txt"), QStringLiteral("--align"), QStringLiteral("4")};
    args += tables();
    if (!free.isEmpty()) args << QStringLiteral("--free") << free;
    if (import) args << QStringLiteral("--fill") << QStringLiteral("FF") << QStringLiteral("--out") << h.cli(QStringLiteral("translated.gba"));
    const CliOutcome cli = run_cli(args);
    QCOMPARE(h.same_dir(h.message()), cli.err.last());
    QStringList moves;
    const auto* list = h.get<QListWidget>("pointer_moves");
    for (int i = 0; i < list->count(); ++i) moves << list->item(i)->text();
    QCOMPARE(moves, cli.out);
    QCOMPARE(contents(h.out(QStringLiteral("translated.gba"))), contents(h.cli(QStringLiteral("translated.gba"))));
    if (!free.isEmpty()) QCOMPARE(moves.size(), 2);
}

}  // namespace quillmere::ui::testing

QTEST_MAIN(quillmere::ui::testing::PointersTabTest)
#include "pointers_tab_test.moc"
