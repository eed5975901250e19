// 补丁 held to quillmere-cli diff and patch create|apply: the same report,
// the same message, the same files byte for byte.

#include <QListWidget>

#include "tools_harness.hpp"

namespace quillmere::ui::testing {

class PatchTabTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void patch_matches_cli_data();
    void patch_matches_cli();
};

namespace {

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

void PatchTabTest::patch_matches_cli_data() {
    QTest::addColumn<QString>("action");  // diff, create, apply
    QTest::addColumn<int>("format");      // BPS, IPS
    QTest::addColumn<bool>("other_original");  // apply to an image the patch was not made from
    QTest::addColumn<bool>("ignore");
    QTest::addColumn<bool>("out_is_original");
    QTest::newRow("diff") << "diff" << 0 << false << false << false;
    QTest::newRow("create BPS") << "create" << 0 << false << false << false;
    QTest::newRow("create IPS") << "create" << 1 << false << false << false;
    QTest::newRow("create over the original") << "create" << 0 << false << false << true;
    QTest::newRow("apply BPS") << "apply" << 0 << false << false << false;
    QTest::newRow("apply IPS") << "apply" << 1 << false << false << false;
    QTest::newRow("apply BPS to another image") << "apply" << 0 << true << false << false;
    QTest::newRow("apply BPS to another image, checksums let through") << "apply" << 0 << true << true << false;
}

void PatchTabTest::patch_matches_cli() {
    QFETCH(QString, action);
    QFETCH(int, format);
    QFETCH(bool, other_original);
    QFETCH(bool, ignore);
    QFETCH(bool, out_is_original);
    ToolsHarness h;
    const QString original = h.file(QStringLiteral("original.gba"));
    const QString modified = h.file(QStringLiteral("modified.gba"));
    QByteArray bytes = contents(sample("sample.gba"));
    write(original, bytes);
    bytes[0x10] = 'J';
    bytes.replace(0x100, 5, "press");
    write(modified, bytes);
    const QString extension = format == 1 ? QStringLiteral(".ips") : QStringLiteral(".bps");
    const QString format_name = format == 1 ? QStringLiteral("ips") : QStringLiteral("bps");
    // The patch an apply starts from, made by the command line.
    const QString patch = h.file(QStringLiteral("made") + extension);
    QString apply_to = original;
    if (action == QStringLiteral("apply")) {
        QCOMPARE(run_cli({QStringLiteral("patch"), QStringLiteral("create"), QStringLiteral("--original"), original,
                          QStringLiteral("--modified"), modified, QStringLiteral("--format"), format_name,
                          QStringLiteral("--out"), patch})
                     .status,
                 0);
        if (other_original) {
            apply_to = h.file(QStringLiteral("other.gba"));
            QByteArray other = contents(original);
            other[0x1F0] = 'X';
            write(apply_to, other);
        }
    }
    h.set("patch_original", apply_to);
    h.set("patch_modified", modified);
    h.choose("patch_format", format);
    const QString window_out = out_is_original ? original : h.out(QStringLiteral("out") + extension);
    const QString cli_out = out_is_original ? original : h.cli(QStringLiteral("out") + extension);
    h.set("patch_out", window_out);
    h.set("patch_file", patch);
    h.set("patch_result", h.out(QStringLiteral("result.gba")));
    h.tick("patch_ignore_checksum", ignore);

    QStringList args;
    if (action == QStringLiteral("diff")) {
        h.click("diff_run");
        args = {QStringLiteral("diff"), QStringLiteral("--original"), original, QStringLiteral("--modified"), modified};
    } else if (action == QStringLiteral("create")) {
        h.click("patch_create");
        args = {QStringLiteral("patch"), QStringLiteral("create"), QStringLiteral("--original"), original,
                QStringLiteral("--modified"), modified, QStringLiteral("--format"), format_name,
                QStringLiteral("--out"), cli_out};
    } else {
        h.click("patch_apply");
        args = {QStringLiteral("patch"), QStringLiteral("apply"), QStringLiteral("--original"), apply_to,
                QStringLiteral("--patch"), patch, QStringLiteral("--out"), h.cli(QStringLiteral("result.gba"))};
        if (ignore) args << QStringLiteral("--ignore-checksum");
    }
    const QByteArray original_after_window = contents(original);
    const CliOutcome cli = run_cli(args);
    QVERIFY(!cli.err.isEmpty());
    QCOMPARE(h.same_dir(h.message()), cli.err.last());
    QStringList report;
    const auto* list = h.get<QListWidget>("patch_report");
    for (int i = 0; i < list->count(); ++i) report << h.same_dir(list->item(i)->text());
    QCOMPARE(report, cli.out + cli.err.mid(0, cli.err.size() - 1));
    QCOMPARE(contents(h.out(QStringLiteral("out") + extension)), contents(h.cli(QStringLiteral("out") + extension)));
    QCOMPARE(contents(h.out(QStringLiteral("result.gba"))), contents(h.cli(QStringLiteral("result.gba"))));
    // Never written over: the image the patch is made from.
    QCOMPARE(original_after_window, contents(original));
    if (action == QStringLiteral("apply") && cli.status == 0 && !other_original)
        QCOMPARE(contents(h.out(QStringLiteral("result.gba"))), contents(modified));
}

}  // namespace quillmere::ui::testing

QTEST_MAIN(quillmere::ui::testing::PatchTabTest)
#include "patch_tab_test.moc"
