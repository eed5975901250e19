// 字库 held to quillmere-cli charset on the sample's translation: the same
// table, characters and sheet, byte for byte, and the same message; the
// sheet names the cell under the mouse.

#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "core/text/gbk.hpp"
#include "tools_harness.hpp"
#include "ui/tools/charset_tab.hpp"

namespace quillmere::ui::testing {

class CharsetTabTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void charset_matches_cli_data();
    void charset_matches_cli();
};

namespace {

const char* const kFont = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";

// A box's text as a table file holds it: GBK, CR LF.
QByteArray gbk_of(const QPlainTextEdit& box) {
    auto bytes = text::encode_gbk(editor_text(box));
    return bytes ? QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size()))
                 : QByteArray("<unencodable>");
}

}  // namespace

void CharsetTabTest::charset_matches_cli_data() {
    QTest::addColumn<bool>("keep");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("glyph");  // empty: no sheet
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("trail");
    QTest::newRow("kept codes and new ones") << true << QStringLiteral("8140") << QString() << 0 << QString();
    QTest::newRow("a whole new font, with its sheet") << false << QStringLiteral("8140") << QStringLiteral("24x24") << 0 << QString();
    QTest::newRow("by frequency, few second bytes, small cells")
        << false << QStringLiteral("8140") << QStringLiteral("12x16") << 1 << QStringLiteral("40-43");
    QTest::newRow("a glyph size that is none") << false << QStringLiteral("8140") << QStringLiteral("big") << 0 << QString();
    QTest::newRow("no start code") << false << QString() << QString() << 0 << QString();
}

void CharsetTabTest::charset_matches_cli() {
    QFETCH(bool, keep);
    QFETCH(QString, start);
    QFETCH(QString, glyph);
    QFETCH(int, order);
    QFETCH(QString, trail);
    if (!glyph.isEmpty() && !QFile::exists(QString::fromLatin1(kFont))) QSKIP("the WenQuanYi font is not installed");
    const char* const orders[] = {"appearance", "frequency", "gbk"};
    ToolsHarness h;
    h.choose("mode", 2);
    h.set("table1", sample("single.tbl"));
    h.set("filter2", sample("filter2.txt"));
    h.set("charset_script", sample("translation.txt"));
    if (keep) h.set("charset_keep", sample("double.tbl"));
    h.set("charset_start_code", start);
    h.set("charset_trail", trail);
    h.choose("charset_order", order);
    h.set("charset_out", h.out(QStringLiteral("new.tbl")));
    h.set("charset_chars", h.out(QStringLiteral("chars.txt")));
    if (!glyph.isEmpty()) {
        h.set("charset_sheet", h.out(QStringLiteral("font.png")));
        h.set("charset_glyph", glyph);
        h.set("charset_font", QString::fromLatin1(kFont));
    }
    h.click("charset_run");

    QStringList args{QStringLiteral("charset"), QStringLiteral("--script"), sample("translation.txt"),
                     QStringLiteral("--mode"), QStringLiteral("both"), QStringLiteral("--table1"), sample("single.tbl"),
                     QStringLiteral("--filter2"), sample("filter2.txt"), QStringLiteral("--start-code"), start,
                     QStringLiteral("--order"), QString::fromLatin1(orders[order]), QStringLiteral("--out"),
                     h.cli(QStringLiteral("new.tbl")), QStringLiteral("--chars"), h.cli(QStringLiteral("chars.txt"))};
    if (keep) args << QStringLiteral("--keep") << sample("double.tbl");
    if (!trail.isEmpty()) args << QStringLiteral("--trail") << trail;
    if (!glyph.isEmpty())
        args << QStringLiteral("--sheet") << h.cli(QStringLiteral("font.png")) << QStringLiteral("--glyph") << glyph
             << QStringLiteral("--font") << QString::fromLatin1(kFont);
    const CliOutcome cli = run_cli(args);
    QVERIFY(!cli.err.isEmpty());
    QCOMPARE(h.same_dir(h.message()), cli.err.last());
    for (const char* name : {"new.tbl", "chars.txt", "font.png"})
        QCOMPARE(contents(h.out(QString::fromLatin1(name))), contents(h.cli(QString::fromLatin1(name))));
    if (cli.status != 0) return;
    // The table as written, shown.
    QCOMPARE(gbk_of(*h.get<QPlainTextEdit>("charset_table")), contents(h.cli(QStringLiteral("new.tbl"))));
    if (glyph.isEmpty()) return;

    // Each cell named as the table names its code: the first, and the one
    // right of it.
    auto* view = h.get<SheetView>("charset_sheet_view");
    QVERIFY(!view->pixmap().isNull());
    const QStringList lines = h.get<QPlainTextEdit>("charset_table")->toPlainText().split(u'\n');
    const int width = glyph.section(u'x', 0, 0).toInt(), height = glyph.section(u'x', 1, 1).toInt();
    h.get<QTabWidget>("tabs")->setCurrentWidget(h.get<QWidget>("charset_tab_scroll"));
    const QPoint first(width / 2, height / 2);
    QMouseEvent move(QEvent::MouseMove, first, view->mapToGlobal(first), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    QCOMPARE(h.get<QLabel>("charset_cell")->text(), lines[0]);
    QCOMPARE(view->cell_at(QPoint(width + 1, 1)), lines[1]);
    QCOMPARE(view->cell_at(QPoint(-1, 1)), QString());
    QCOMPARE(view->cell_at(QPoint(width * 16 + 1, 1)), QString());
}

}  // namespace quillmere::ui::testing

QTEST_MAIN(quillmere::ui::testing::CharsetTabTest)
#include "charset_tab_test.moc"
