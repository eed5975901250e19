// The window's commands on the worker thread: one at a time, the window
// running its events meanwhile, a busy indication, a command that throws,
// and closing while one runs.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

#include <chrono>
#include <functional>
#include <new>
#include <stdexcept>
#include <thread>

#include "form1_harness.hpp"

namespace quillmere::ui::testing {
namespace {

using Continuation = CommandRunner::Continuation;

// A, 啊, 阿 and an end code; an unknown byte; B, B and an end code; unknown bytes.
const QByteArray kRom = QByteArray::fromHex("418140814100FF424200FFFFFFFFFFFF");

void expect_box(const ShownBox& box, const QString& title, const QString& text) {
    QCOMPARE(box.title, title);
    QCOMPARE(box.text, text);
    QVERIFY(box.buttons == Buttons::ok);
}

// The window with a ROM, both tables and the single-byte filter list
// chosen, the preview on and a valid translation in text10.
struct CommandHarness : Harness {
    explicit CommandHarness(const QByteArray& rom_bytes = kRom) {
        rom = file("game.gba");
        write_bytes(rom, rom_bytes);
        write_bytes(file("single.tbl"), "41=A\r\n42=B\r\n");
        write_bytes(file("double.tbl"), gbk(u"8140=啊\r\n8141=阿\r\n"));
        QTest::mouseClick(get<QRadioButton>("Option3"), Qt::LeftButton);
        get<QLineEdit>("Text1")->setText(rom);
        get<QLineEdit>("Text2")->setText(file("double.tbl"));
        get<QLineEdit>("Text13")->setText(file("single.tbl"));
        get<QPlainTextEdit>("Text6")->setPlainText("00=over");
        get<QCheckBox>("Check3")->setChecked(true);
        get<QLineEdit>("Text3")->setText("job");
        get<QLineEdit>("Text4")->setText("0");
        get<QLineEdit>("Text5")->setText(QString::number(rom_bytes.size() - 1, 16));
        get<QCheckBox>("Check4")->setChecked(true);
        get<QPlainTextEdit>("text10")->setPlainText(QString::fromUtf16(u"7,3,AB{结束符00}"));
    }
    void press(const char* name) { QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton); }
    QString rom;
};

QDialog* shown_dialog(QWidget* window) {
    for (QDialog* dialog : window->findChildren<QDialog*>())
        if (dialog->isVisible()) return dialog;
    return nullptr;
}

}  // namespace

class Form1CommandTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void a_click_while_a_command_runs_starts_nothing();
    void the_window_runs_its_events_while_a_command_works();
    void a_long_command_shows_it_is_busy_until_it_ends();
    void a_command_that_throws_shows_why_and_nothing_more();
    void closing_waits_for_the_running_command();
};

void Form1CommandTest::a_click_while_a_command_runs_starts_nothing() {
    struct Case {
        const char* first;
        const char* second;
        const char* message;
    };
    const Case cases[] = {
        {"gettext", "gettext", "文本已顺利导出"},   {"gettext", "Command5", "文本已顺利导出"},
        {"Command5", "intext", "此文本为合法文本"}, {"intext", "Command4", "文本导入成功"},
        {"gettext", "openyw", "文本已顺利导出"},    {"Command5", "Command1", "此文本为合法文本"},
    };
    for (const Case& c : cases) {
        CommandHarness h;
        const QByteArray rom_before = read_bytes(h.rom);
        h.press(c.first);
        QVERIFY(h.form->busy());
        h.press(c.second);
        h.form->wait_for_command();
        QVERIFY(!h.form->busy());
        QCOMPARE(h.boxes.shown.size(), std::size_t{1});
        expect_box(h.boxes.shown[0], "提示", QString::fromUtf8(c.message));
        QVERIFY2(h.dialogs.calls.empty(), c.second);  // no save or open dialog either
        QCOMPARE(h.get<QListWidget>("List1")->count(), 0);
        if (QByteArray(c.first) != "intext") QCOMPARE(read_bytes(h.rom), rom_before);
    }
}

void Form1CommandTest::the_window_runs_its_events_while_a_command_works() {
    // Enough records that the export outlasts a turn of the event loop.
    QByteArray rom;
    while (rom.size() < (256 << 10)) rom += QByteArray::fromHex("41814081410042424200");
    CommandHarness h(rom);
    h.get<QPlainTextEdit>("text9")->setPlainText("earlier");
    int ticks_while_busy = 0;
    QString text9_meanwhile;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        // The export is still being worked on, on a thread of the pool.
        if (!h.form->busy() || QThreadPool::globalInstance()->activeThreadCount() == 0) return;
        ++ticks_while_busy;
        text9_meanwhile = h.get<QPlainTextEdit>("text9")->toPlainText();
    });
    timer.start(0);
    bool finished = false;
    QObject::connect(h.form.get(), &Form1::command_finished, [&] { finished = true; });
    h.press("gettext");
    h.form->wait_for_command();
    timer.stop();
    QVERIFY(ticks_while_busy > 0);
    QCOMPARE(text9_meanwhile, QStringLiteral("earlier"));
    QVERIFY(finished);
    expect_box(h.boxes.shown.at(0), "提示", "文本已顺利导出");
    QVERIFY(core_text_of(h.get<QPlainTextEdit>("text9")).startsWith(QString::fromUtf16(u"0,6,A啊阿{结束符00}\r\n")));
}

void Form1CommandTest::a_long_command_shows_it_is_busy_until_it_ends() {
    Harness h;
    QSemaphore release;
    QVERIFY(h.form->command_runner().start(QStringLiteral("正在检查译文…"), [&]() -> Continuation {
        release.acquire();
        return {};
    }));
    QVERIFY(!h.form->command_runner().start(QStringLiteral("second"), [] { return Continuation(); }));
    QTRY_VERIFY(shown_dialog(h.form.get()) != nullptr);
    QDialog* dialog = shown_dialog(h.form.get());
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QCOMPARE(dialog->findChild<QLabel*>()->text(), QStringLiteral("正在检查译文…"));
    QVERIFY(dialog->findChildren<QAbstractButton*>().isEmpty());
    QVERIFY(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor);
    QTest::keyClick(dialog, Qt::Key_Escape);
    dialog->close();
    QVERIFY(dialog->isVisible());
    release.release();
    h.form->wait_for_command();
    QVERIFY(!dialog->isVisible());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(h.boxes.shown.empty());
}

void Form1CommandTest::a_command_that_throws_shows_why_and_nothing_more() {
    struct Case {
        std::function<void()> raise;
        const char* message;
    };
    const Case cases[] = {
        {[] { throw std::bad_alloc(); }, "内存不足，命令没有完成，没有写入任何文件"},
        {[] { throw std::runtime_error("broken"); }, "命令意外中止，没有写入任何文件"},
        {[] { throw 7; }, "命令意外中止，没有写入任何文件"},
    };
    for (const Case& c : cases) {
        CommandHarness h;
        const QString out = h.file("out.txt");
        bool continued = false;
        // Fails as a scan could, before the result would be saved.
        h.form->command_runner().start(QStringLiteral("正在导出文本…"), [&]() -> Continuation {
            c.raise();
            return [&] {
                continued = true;
                write_bytes(out, "written");
            };
        });
        h.form->wait_for_command();
        QCOMPARE(h.boxes.shown.size(), std::size_t{1});
        expect_box(h.boxes.shown[0], "错误", QString::fromUtf8(c.message));
        QVERIFY(!continued);
        QVERIFY(!QFile::exists(out));
        // The window takes the next command as usual.
        h.click("gettext");
        expect_box(h.boxes.shown.back(), "提示", "文本已顺利导出");
    }
}

void Form1CommandTest::closing_waits_for_the_running_command() {
    Harness h;
    h.get<QPlainTextEdit>("Text6")->setPlainText("00=over");
    QSemaphore release;
    bool continued = false;
    h.form->command_runner().start(QStringLiteral("正在导入译文…"), [&]() -> Continuation {
        release.acquire();
        return [&] {
            continued = true;
            // The filter lists are not written yet.
            QVERIFY(!QFile::exists(h.data("glq.dat")));
        };
    });
    QTimer::singleShot(50, [&] { release.release(); });
    QVERIFY(h.form->close());
    QVERIFY(continued);
    QCOMPARE(read_bytes(h.data("glq.dat")), QByteArray("00=over\r\n"));

    // A window destroyed while a command runs waits for it and drops its result.
    h.open();
    continued = false;
    h.form->command_runner().start(QStringLiteral("正在导入译文…"), [&]() -> Continuation {
        release.acquire();
        return [&] { continued = true; };
    });
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        release.release();
    });
    h.form.reset();
    releaser.join();
    QVERIFY(!continued);
}

}  // namespace quillmere::ui::testing

QTEST_MAIN(quillmere::ui::testing::Form1CommandTest)
#include "form1_command_test.moc"
