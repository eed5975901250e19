// The multi-line boxes keep every line of a large text, whatever way the
// window groups lines into text blocks.

#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>

#include "ui/qt_text.hpp"

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

    void typed_line_breaks_read_as_crlf() {
        QPlainTextEdit editor;
        editor.setPlainText(QStringLiteral("A\nB"));
        QCOMPARE(quillmere::ui::editor_text(editor), std::u16string(u"A\r\nB"));
    }
};

QTEST_MAIN(QtTextTest)
#include "qt_text_test.moc"
