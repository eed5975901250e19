#pragma once
// A tools window on a scratch data directory with scripted file dialogs,
// and the built quillmere-cli run on the same options, so that each tab can
// be held to what the command line writes and says.

#include <QComboBox>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "ui/qt_text.hpp"
#include "ui/scripted_seams.hpp"
#include "ui/tools/tool_runner.hpp"
#include "ui/tools/tools_window.hpp"

namespace quillmere::ui::testing {

inline QString sample(const char* name) { return QStringLiteral(QUILLMERE_SAMPLE_DIR "/") + QString::fromLatin1(name); }

inline QByteArray contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return file.readAll();
}

// What quillmere-cli printed on standard error, and how it ended.
struct CliOutcome {
    int status = -1;
    QStringList err;  // lines
    QStringList out;
};

inline CliOutcome run_cli(const QStringList& args) {
    QProcess cli;
    cli.start(QStringLiteral(QUILLMERE_CLI_PATH), args);
    cli.waitForFinished(60000);
    auto lines = [](const QByteArray& bytes) {
        QStringList split = QString::fromUtf8(bytes).split(u'\n');
        if (!split.isEmpty() && split.last().isEmpty()) split.removeLast();
        return split;
    };
    return {cli.exitCode(), lines(cli.readAllStandardError()), lines(cli.readAllStandardOutput())};
}

class ToolsHarness {
public:
    ToolsHarness() {
        data_path = dir.filePath(QStringLiteral("data"));
        QDir().mkpath(data_path);
        QDir().mkpath(dir.filePath(QStringLiteral("cli")));
        QDir().mkpath(dir.filePath(QStringLiteral("window")));
        open();
    }

    void open() {
        window = std::make_unique<ToolsWindow>(to_path(data_path), dialogs, std::nullopt);
        window->show();
    }

    // A file of the window's run, and of the command line's.
    QString out(const QString& name) const { return dir.filePath(QStringLiteral("window/") + name); }
    QString cli(const QString& name) const { return dir.filePath(QStringLiteral("cli/") + name); }
    QString file(const QString& name) const { return dir.filePath(name); }
    // A window's message as the command line says it of its own files.
    QString same_dir(QString text) const {
        return text.replace(dir.filePath(QStringLiteral("window/")), dir.filePath(QStringLiteral("cli/")));
    }

    template <class T>
    T* get(const char* name) const {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    void set(const char* name, const QString& text) { get<QLineEdit>(name)->setText(text); }
    void choose(const char* name, int index) { get<QComboBox>(name)->setCurrentIndex(index); }
    void tick(const char* name, bool on) { get<QCheckBox>(name)->setChecked(on); }
    void number(const char* name, int value) { get<QSpinBox>(name)->setValue(value); }
    // Clicks a button and waits for the command it starts.
    void click(const char* name) {
        QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton);
        window->wait_for_command();
    }
    QString message() const { return get<QLabel>("message")->text(); }

    QTemporaryDir dir;
    QString data_path;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<ToolsWindow> window;
};

}  // namespace quillmere::ui::testing
