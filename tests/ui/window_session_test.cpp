// The window's life on its data directory: one window per directory, the
// same shut-down however the window is ended, filter lists of any length.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <sys/types.h>

#include <utility>

#include "core/commands/cli_help.hpp"
#include "core/platform/folder_lock.hpp"
#include "core/version.hpp"
#include "form1_harness.hpp"
#include "ui/window_session.hpp"

namespace quillmere::ui::testing {
namespace {

// The names and contents of the files in a folder.
QMap<QString, QByteArray> files_in(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        files[info.fileName()] = read_bytes(info.filePath());
    return files;
}

// Whether the process catches the signal: set once its handler is in place.
bool catches(qint64 pid, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith("SigCgt:")) continue;
        const qulonglong mask = line.mid(7).trimmed().toULongLong(nullptr, 16);
        return (mask >> (signal - 1)) & 1;
    }
    return false;
}

// The value of one variable in a running process's environment.
QByteArray environment_value(qint64 pid, const QByteArray& name) {
    QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
    if (!environ.open(QIODevice::ReadOnly)) return {};
    for (const QByteArray& entry : environ.readAll().split('\0'))
        if (entry.startsWith(name + '=')) return entry.mid(name.size() + 1);
    return {};
}

}  // namespace

class WindowSessionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void help_and_version_need_no_display();
    void a_second_window_on_a_held_data_folder_refuses_and_touches_nothing();
    void termination_signals_shut_the_window_down_as_closing_does();
    void filter_boxes_show_a_megabyte_line_unwrapped();
    // Last: it runs the application's own event loop to its end.
    void quitting_the_application_shuts_the_window_down();
};

void WindowSessionTest::help_and_version_need_no_display() {
    struct Case {
        const char* option;
        QStringList expected;  // lines the output holds
    };
    const Case cases[] = {
        {"--version", {QString::fromLatin1(kVersion)}},
        {"--help",
         {QString::fromUtf8(cli_help::kWindow), QStringLiteral("--data-dir DIR"), QStringLiteral("--version")}},
    };
    for (const Case& c : cases) {
        QProcess window;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        window.setProcessEnvironment(environment);
        window.start(QStringLiteral(QUILLMERE_WINDOW_PATH), {QString::fromLatin1(c.option)});
        QVERIFY(window.waitForFinished(60000));
        const QString out = QString::fromUtf8(window.readAllStandardOutput());
        QVERIFY2(window.exitStatus() == QProcess::NormalExit && window.exitCode() == 0,
                 qPrintable(QString::fromUtf8(window.readAllStandardError())));
        for (const QString& line : c.expected) QVERIFY2(out.contains(line), qPrintable(c.option + (u'\n' + out)));
    }
}

void WindowSessionTest::a_second_window_on_a_held_data_folder_refuses_and_touches_nothing() {
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    QDir().mkpath(data);
    write_bytes(data + QStringLiteral("/glq.dat"), "00=over\r\n\r\n\r\n");
    write_bytes(data + QStringLiteral("/Quillmere汉化工具.ini"), "\"Menu\",\"8000\",\"8FFF\"\r\n");
    const auto before = files_in(data);

    auto first = platform::FolderLock::acquire(to_path(data));
    QVERIFY(first.has_value());
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    QCOMPARE(run_window(to_path(data), boxes, dialogs), 1);
    QCOMPARE(boxes.shown.size(), std::size_t{1});
    QCOMPARE(boxes.shown[0].title, QStringLiteral("错误"));
    QCOMPARE(boxes.shown[0].text, QStringLiteral("数据目录正被另一个窗口使用：") + QDir::cleanPath(data));
    QVERIFY(boxes.shown[0].buttons == Buttons::ok);
    QCOMPARE(files_in(data), before);
}

void WindowSessionTest::termination_signals_shut_the_window_down_as_closing_does() {
    // The window runs with the environment it is given: it does not restart
    // itself with settings of its own.
    const std::pair<int, QByteArray> cases[] = {{SIGTERM, QByteArray()},
                                                {SIGHUP, QByteArray("glibc.malloc.tcache_count=7")}};
    for (const auto& [signal, tunables] : cases) {
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("data"));
        QDir().mkpath(data);
        // Shut-down writes the list back without its empty lines, and
        // creates the other list's file.
        write_bytes(data + QStringLiteral("/glq.dat"), "00=over\r\n\r\n\r\nF0=turn2");
        QProcess window;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        environment.remove(QStringLiteral("GLIBC_TUNABLES"));
        if (!tunables.isEmpty()) environment.insert(QStringLiteral("GLIBC_TUNABLES"), QString::fromLatin1(tunables));
        window.setProcessEnvironment(environment);
        window.start(QStringLiteral(QUILLMERE_WINDOW_PATH), {QStringLiteral("--data-dir"), data});
        QVERIFY(window.waitForStarted());
        // The handlers are installed after start-up has read the lists.
        QTRY_VERIFY_WITH_TIMEOUT(catches(window.processId(), signal), 60000);
        QCOMPARE(environment_value(window.processId(), "GLIBC_TUNABLES"), tunables);
        QCOMPARE(::kill(static_cast<pid_t>(window.processId()), signal), 0);
        QVERIFY(window.waitForFinished(60000));
        QCOMPARE(window.exitStatus(), QProcess::NormalExit);
        QCOMPARE(window.exitCode(), 0);
        QCOMPARE(read_bytes(data + QStringLiteral("/glq.dat")), QByteArray("00=over\r\nF0=turn2\r\n\r\n"));
        QCOMPARE(read_bytes(data + QStringLiteral("/glq2.dat")), QByteArray("\r\n"));
    }
}

void WindowSessionTest::filter_boxes_show_a_megabyte_line_unwrapped() {
    const QByteArray line = QByteArray("00=") + QByteArray(1 << 20, 'x');
    Harness h([&](Harness& self) { write_bytes(self.data(QStringLiteral("glq.dat")), line); });
    for (const char* name : {"Text6", "Text12"})
        QCOMPARE(h.get<QPlainTextEdit>(name)->lineWrapMode(), QPlainTextEdit::NoWrap);
    QVERIFY(QTest::qWaitForWindowExposed(h.form.get()));
    QCOMPARE(core_text_of(h.get<QPlainTextEdit>("Text6")), QString::fromLatin1(line) + QStringLiteral("\r\n"));
}

void WindowSessionTest::quitting_the_application_shuts_the_window_down() {
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    QDir().mkpath(data);
    write_bytes(data + QStringLiteral("/glq2.dat"), "\r\n8000=over\r\n\r\n");
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    // As the end of a desktop session may: the application is told to quit.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
    QCOMPARE(run_window(to_path(data), boxes, dialogs), 0);
    QCOMPARE(read_bytes(data + QStringLiteral("/glq.dat")), QByteArray("\r\n"));
    QCOMPARE(read_bytes(data + QStringLiteral("/glq2.dat")), QByteArray("8000=over\r\n\r\n"));
    QVERIFY(boxes.shown.empty());
    // The window let go of its data directory.
    QVERIFY(platform::FolderLock::acquire(to_path(data)).has_value());
}

}  // namespace quillmere::ui::testing

QTEST_MAIN(quillmere::ui::testing::WindowSessionTest)
#include "window_session_test.moc"
