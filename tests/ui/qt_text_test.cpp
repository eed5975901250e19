// The multi-line boxes keep every line of a large text, whatever way the
// window groups lines into text blocks.

#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>

#include <random>

#include "ui/qt_text.hpp"

namespace {

// One character at a time: every CR (with the LF after it) becomes a line
// separator, and every 64th a paragraph break.
QString shown_one_by_one(std::u16string_view text) {
    QString shown;
    int lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r') {
            shown += QChar(text[i]);
            continue;
        }
        shown += QChar(++lines % 64 == 0 ? u'\n' : u'\u2028');
        if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    }
    return shown;
}

}  // namespace

class QtTextTest : public QObject {
    Q_OBJECT

private slots:
    void many_lines_round_trip_with_crlf() {
        std::u16string text;
        for (int i = 0; i < 1000; ++i) {
            text += u"10,2,行" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u"\u00A0\r\n";
            if (i % 7 == 0) text += u"\r\n";
        }
        QPlainTextEdit editor;
        quillmere::ui::set_editor_text(editor, text);
        QCOMPARE(quillmere::ui::editor_text(editor), text);
        // Lines are grouped, so far fewer blocks than lines.
        QVERIFY(editor.document()->blockCount() < 100);
        QCOMPARE(editor.document()->toPlainText().count(u'\n'), 1000 + 143);
    }

    void lone_cr_ends_a_line_and_text_without_line_end_stays_so() {
        QPlainTextEdit editor;
        quillmere::ui::set_editor_text(editor, u"A\rB\r\nC");
        QCOMPARE(quillmere::ui::editor_text(editor), std::u16string(u"A\r\nB\r\nC"));
    }

    // Line ends at every place of the text, among characters that differ
    // from CR in one bit or one byte.
    void shown_text_is_the_text_with_its_line_ends_replaced() {
        const char16_t alphabet[] = {u'\r', u'\r', u'\n', u'A', 0x800D, 0x0D0D, 0x000C, 0x010D, 0xFFFF, 0x2028, 0};
        std::mt19937 random(7);
        for (int round = 0; round < 3000; ++round) {
            std::u16string text(random() % (round < 2000 ? 20 : 400), u' ');
            for (auto& c : text) c = alphabet[random() % std::size(alphabet)];
            QCOMPARE(quillmere::ui::to_editor_text(text), shown_one_by_one(text));
        }
    }

    void typed_line_breaks_read_as_crlf() {
        QPlainTextEdit editor;
        editor.setPlainText(QStringLiteral("A\nB"));
        QCOMPARE(quillmere::ui::editor_text(editor), std::u16string(u"A\r\nB"));
    }
};

QTEST_MAIN(QtTextTest)
#include "qt_text_test.moc"
