// The multi-line boxes keep every line of a large text, whatever way the
// window groups lines into text blocks.

#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTextDocument>
#include <QThread>

#include <random>
#include <thread>

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

private Q_SLOTS:
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

    // As the window shows a large export: the document is built on a worker
    // thread and handed to the editor, which then behaves as after
    // setPlainText.
    void a_document_built_on_another_thread_shows_in_the_editor() {
        using namespace quillmere::ui;
        QPlainTextEdit editor;
        editor.show();
        const QPointer<QTextDocument> own = editor.document();
        std::u16string text;
        for (int i = 0; i < 200; ++i) text += u"10,2,行\r\n";
        const QFont font(QStringLiteral("Serif"), 13);
        std::unique_ptr<QTextDocument> built;
        std::thread worker([&] { built = editor_document(text, font, editor.thread()); });
        worker.join();
        QCOMPARE(built->thread(), editor.thread());
        QVERIFY(qobject_cast<QPlainTextDocumentLayout*>(built->documentLayout()));
        const QPointer<QTextDocument> first = built.get();
        show_document(editor, std::move(built));
        QVERIFY(!own);
        QCOMPARE(editor.document(), first.data());
        QCOMPARE(editor_text(editor), text);
        QCOMPARE(editor.document()->defaultFont(), font);
        QPlainTextEdit reference;
        set_editor_text(reference, text);
        QCOMPARE(editor.document()->blockCount(), reference.document()->blockCount());
        QCOMPARE(editor.document()->documentMargin(), reference.document()->documentMargin());
        QCOMPARE(editor.document()->defaultTextOption().wrapMode(),
                 reference.document()->defaultTextOption().wrapMode());
        QCOMPARE(editor.document()->isUndoAvailable(), false);

        editor.moveCursor(QTextCursor::End);
        QTest::keyClicks(&editor, "C");
        QCOMPARE(editor_text(editor), text + u"C");
        editor.undo();
        QCOMPARE(editor_text(editor), text);

        // The next document replaces this one, which goes.
        show_document(editor, editor_document(u"X", font, editor.thread()));
        QVERIFY(!first);
        QCOMPARE(editor_text(editor), std::u16string(u"X"));
    }

    // Built piece by piece, the document holds what the editor holds after
    // set_editor_text, wherever the pieces end: inside a CR LF, a surrogate
    // pair, a line group.
    void a_document_built_in_pieces_matches_the_whole_text_set_at_once() {
        using namespace quillmere::ui;
        const char16_t alphabet[] = {u'\r', u'\r', u'\n', u'A', 0xD83D, 0xDE00, 0x2028, u'\u00A0'};
        std::mt19937 random(11);
        const QFont font;
        for (int round = 0; round < 300; ++round) {
            std::u16string text(random() % 300, u' ');
            for (auto& c : text) c = alphabet[random() % std::size(alphabet)];
            if (round % 3 == 0) text += std::u16string(200, u'\r');  // more than one line group
            QPlainTextEdit reference;
            set_editor_text(reference, text);
            const std::size_t piece = 1 + random() % 17;
            const auto document = editor_document(text, font, QThread::currentThread(), piece);
            QCOMPARE(document->toRawText(), reference.document()->toRawText());
            QCOMPARE(document->blockCount(), reference.document()->blockCount());
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
