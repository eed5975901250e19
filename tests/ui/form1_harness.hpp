#pragma once
// A Form1 on a scratch data directory, with scripted message boxes and file
// dialogs, and the small file helpers the window tests share.

#include <QByteArray>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string_view>

#include "core/text/gbk.hpp"
#include "ui/form1.hpp"
#include "ui/qt_text.hpp"
#include "ui/scripted_seams.hpp"

namespace quillmere::ui::testing {

inline QByteArray read_bytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return file.readAll();
}

inline void write_bytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline QByteArray gbk(std::u16string_view text) {
    auto bytes = text::encode_gbk(text);
    if (!bytes) return QByteArray("<unencodable>");
    return QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size()));
}

// The text of a multi-line box as the core sees it (lines ended by CR LF).
inline QString core_text_of(const QPlainTextEdit* editor) { return to_qt(editor_text(*editor)); }

class Harness {
public:
    // Builds the data directory with `prepare` before the window opens.
    template <class Prepare>
    explicit Harness(Prepare&& prepare) {
        data_path = dir.filePath(QStringLiteral("data"));
        QDir().mkpath(data_path);
        prepare(*this);
        open();
    }
    Harness() : Harness([](Harness&) {}) {}

    void open() {
        form = std::make_unique<Form1>(to_path(data_path), boxes, dialogs);
        form->show();
    }

    QString data(const QString& name) const { return data_path + u'/' + name; }
    QString file(const QString& name) const { return dir.filePath(name); }

    // Clicks a button and waits for the command it starts, if any, to show
    // its result: the long commands run on a worker thread.
    void click(const char* name) {
        QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton);
        form->wait_for_command();
        QVERIFY(!form->busy());
    }

    template <class T>
    T* get(const char* name) const {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }

    QTemporaryDir dir;
    QString data_path;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<Form1> form;
};

}  // namespace quillmere::ui::testing
