// The window's shape as it opens: for every named group, label and control
// its class, parent, pixel geometry, caption or default text, font, accessible
// name, state, focus policy and look; the window's own size, caption, font and
// style; and the focus chain. One row per widget, so a failure shows the whole
// row as it is and as it should be.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <algorithm>

#include "form1_harness.hpp"

namespace quillmere::ui::testing {
namespace {

const QStringList kWindowFaces = {"SimSun", "宋体", "NSimSun", "Noto Sans Mono CJK SC", "Noto Sans CJK SC"};
const QStringList kSongFaces = {"SimSun",        "宋体", "NSimSun", "Noto Serif CJK SC", "Source Han Serif SC",
                                "AR PL UMing CN"};

// The window's face is whichever of its list is installed; a control either
// shares it ("form") or uses the Song face ("song").
QString font_of(const QWidget* widget, const QWidget* form) {
    const QFont font = widget->font();
    QString family = font.family();
    if (widget != form && family == form->font().family()) {
        family = QStringLiteral("form");
    } else if (widget == form && kWindowFaces.contains(family)) {
        family = QStringLiteral("window-face");
    } else if (kSongFaces.contains(family)) {
        family = QStringLiteral("song");
    }
    return family + u' ' + QString::number(font.pointSize()) + (font.bold() ? QStringLiteral(" bold") : QString());
}

QString text_of(const QWidget* widget) {
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
    if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (auto* line = qobject_cast<const QLineEdit*>(widget)) return line->text();
    if (auto* editor = qobject_cast<const QPlainTextEdit*>(widget)) return editor->toPlainText();
    if (auto* list = qobject_cast<const QListWidget*>(widget)) return QString::number(list->count()) + " rows";
    return QString();
}

// What a control does with its text, beyond what it shows.
QString details_of(const QWidget* widget) {
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->isCheckable() ? QStringLiteral("checked=%1").arg(button->isChecked()) : QString();
    if (auto* line = qobject_cast<const QLineEdit*>(widget)) return QStringLiteral("max=%1").arg(line->maxLength());
    if (auto* editor = qobject_cast<const QPlainTextEdit*>(widget))
        return QStringLiteral("wrap=%1 undo=%2 vbar=%3 tab-moves=%4 readonly=%5")
            .arg(editor->lineWrapMode())
            .arg(editor->isUndoRedoEnabled())
            .arg(editor->verticalScrollBarPolicy())
            .arg(editor->tabChangesFocus())
            .arg(editor->isReadOnly());
    if (auto* list = qobject_cast<const QListWidget*>(widget))
        return QStringLiteral("selection=%1").arg(list->selectionMode());
    return QString();
}

QString row_of(const QWidget* widget, const QWidget* form) {
    const QRect r = widget->geometry();
    return QStringList{
        widget->objectName(),
        QString::fromLatin1(widget->metaObject()->className()),
        widget == form ? QStringLiteral("-") : widget->parentWidget()->objectName(),
        QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()),
        text_of(widget),
        font_of(widget, form),
        widget->accessibleName(),
        QString::fromLatin1(widget->isEnabled() ? "enabled" : "disabled"),
        QString::fromLatin1(widget->isVisible() ? "shown" : "hidden"),
        QStringLiteral("focus=%1").arg(widget->focusPolicy()),
        QString::fromLatin1(widget->style()->metaObject()->className()),
        details_of(widget),
    }
        .join(QStringLiteral(" | "));
}

bool is_own(const QWidget* widget) {
    return !widget->objectName().isEmpty() && !widget->objectName().startsWith(QStringLiteral("qt_"));
}

}  // namespace

class Form1ShapeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void every_widget_keeps_its_shape();
    void focus_chain_keeps_its_order();
};

void Form1ShapeTest::every_widget_keeps_its_shape() {
    Harness h;
    QApplication::processEvents();
    // clang-format off
    const QStringList expected = {
        "Form1 | quillmere::ui::Form1 | - | 183,198 437x407 |  | window-face 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Check2 | QCheckBox | Frame5 | 8,232 89x12 | 双字节过滤 | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | checked=0",
        "Check3 | QCheckBox | Frame5 | 8,216 81x12 | 单字节过滤 | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | checked=0",
        "Check4 | QCheckBox | Frame7 | 8,120 95x12 | 打开文本预览 | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | checked=0",
        "Command1 | QPushButton | Frame3 | 8,224 41x18 | 添加 | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | ",
        "Command2 | QPushButton | Frame3 | 64,224 41x18 | 删除 | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | ",
        "Command3 | QPushButton | Frame3 | 120,224 41x18 | 修改 | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | ",
        "Command4 | QPushButton | Frame4 | 16,48 97x25 | 保存文本 | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | ",
        "Command5 | QPushButton | Frame4 | 16,80 97x25 | 检查文本 | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | ",
        "Command6 | QPushButton | Frame1 | 216,88 81x18 | 单字节码表 | form 9 |  | disabled | shown | focus=11 | QWindowsStyle | ",
        "Frame1 | QGroupBox | Form1 | 8,8 305x137 | 文件 | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Frame2 | QGroupBox | Form1 | 8,152 129x97 | 文本地址（16进制） | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Frame3 | QGroupBox | Form1 | 144,152 169x249 | 记录区 | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Frame4 | QGroupBox | Form1 | 8,256 129x145 | 操作 | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Frame5 | QGroupBox | Form1 | 320,152 105x249 | 过滤与控制符 | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Frame6 | QGroupBox | Form1 | 432,8 321x393 | 文本区 | form 9 |  | enabled | hidden | focus=0 | QWindowsStyle | ",
        "Frame7 | QGroupBox | Form1 | 320,8 105x137 | 导入相关 | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Label1 | QLabel | Frame2 | 8,16 113x17 | 开始地址： | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Label10 | QLabel | Frame7 | 8,56 89x17 | 填充字节： | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Label13 | QLabel | Frame7 | 8,16 89x17 | 双字节过滤区： | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Label14 | QLabel | Frame7 | 48,32 9x17 | - | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Label2 | QLabel | Frame2 | 8,56 89x17 | 结束地址： | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Label3 | QLabel | Frame3 | 8,200 41x17 | 名称： | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Label4 | QLabel | Frame7 | 8,98 65x17 | 最小字节： | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Label5 | QLabel | Frame6 | 8,24 113x17 | 原文： | form 9 |  | enabled | hidden | focus=0 | QWindowsStyle | ",
        "Label6 | QLabel | Frame6 | 8,208 89x17 | 译文： | form 9 |  | enabled | hidden | focus=0 | QWindowsStyle | ",
        "Label8 | QLabel | Frame5 | 8,16 57x17 | 单字节： | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "Label9 | QLabel | Frame5 | 8,120 73x17 | 双字节： | form 9 |  | enabled | shown | focus=0 | QWindowsStyle | ",
        "List1 | QListWidget | Frame3 | 8,16 153x172 | 0 rows | form 9 | 记录列表 | enabled | shown | focus=11 | QWindowsStyle | selection=1",
        "Option1 | QRadioButton | Frame1 | 8,16 81x17 | 单字节ROM | form 9 |  | enabled | shown | focus=2 | QWindowsStyle | checked=0",
        "Option2 | QRadioButton | Frame1 | 104,16 81x17 | 双字节ROM | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | checked=1",
        "Option3 | QRadioButton | Frame1 | 200,16 89x17 | 单双字节ROM | form 9 |  | enabled | shown | focus=2 | QWindowsStyle | checked=0",
        "Text1 | QLineEdit | Frame1 | 8,40 201x18 |  | form 9 | ROM文件 | enabled | shown | focus=11 | QWindowsStyle | max=32767",
        "Text12 | QPlainTextEdit | Frame5 | 8,136 89x73 |  | form 9 | 双字节过滤列表 | enabled | shown | focus=11 | QWindowsStyle | wrap=0 undo=1 vbar=2 tab-moves=1 readonly=0",
        "Text13 | QLineEdit | Frame1 | 8,88 201x18 |  | form 9 | 单字节码表文件 | disabled | shown | focus=11 | QWindowsStyle | max=32767",
        "Text14 | QLineEdit | Frame7 | 8,72 89x18 |  | form 9 | 填充字节 | enabled | shown | focus=11 | QWindowsStyle | max=32767",
        "Text15 | QLineEdit | Frame7 | 72,96 25x18 | 0 | form 9 | 最小字节 | enabled | shown | focus=11 | QWindowsStyle | max=32767",
        "Text16 | QLineEdit | Frame7 | 8,32 39x18 | 0 | form 9 | 双字节过滤区起点 | enabled | shown | focus=11 | QWindowsStyle | max=5",
        "Text17 | QLineEdit | Frame7 | 56,32 39x18 | 65535 | form 9 | 双字节过滤区终点 | enabled | shown | focus=11 | QWindowsStyle | max=5",
        "Text2 | QLineEdit | Frame1 | 8,64 201x18 |  | form 9 | 双字节码表文件 | enabled | shown | focus=11 | QWindowsStyle | max=32767",
        "Text3 | QLineEdit | Frame3 | 48,200 113x18 |  | form 9 | 记录名称 | enabled | shown | focus=11 | QWindowsStyle | max=32767",
        "Text4 | QLineEdit | Frame2 | 8,32 113x18 |  | form 9 | 开始地址 | enabled | shown | focus=11 | QWindowsStyle | max=32767",
        "Text5 | QLineEdit | Frame2 | 8,72 113x18 |  | form 9 | 结束地址 | enabled | shown | focus=11 | QWindowsStyle | max=32767",
        "Text6 | QPlainTextEdit | Frame5 | 8,32 89x81 |  | form 9 | 单字节过滤列表 | enabled | shown | focus=11 | QWindowsStyle | wrap=0 undo=1 vbar=2 tab-moves=1 readonly=0",
        "Text8 | QLineEdit | Frame1 | 8,112 201x18 |  | form 9 | 译文文件 | enabled | shown | focus=11 | QWindowsStyle | max=32767",
        "gettext | QPushButton | Frame4 | 16,16 97x25 | 导出文本 | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | ",
        "intext | QPushButton | Frame4 | 16,112 97x26 | 导入文本 | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | ",
        "openrom | QPushButton | Frame1 | 216,40 81x18 | 打开ROM | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | ",
        "opentlb | QPushButton | Frame1 | 216,64 81x18 | 双字节码表 | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | ",
        "openyw | QPushButton | Frame1 | 216,112 81x18 | 读取译文 | form 9 |  | enabled | shown | focus=11 | QWindowsStyle | ",
        "text10 | QPlainTextEdit | Frame6 | 8,224 305x161 |  | form 9 | 译文 | enabled | hidden | focus=11 | QWindowsStyle | wrap=0 undo=0 vbar=0 tab-moves=0 readonly=0",
        "text9 | QPlainTextEdit | Frame6 | 8,40 305x161 |  | song 9 | 原文 | enabled | hidden | focus=11 | QWindowsStyle | wrap=0 undo=0 vbar=0 tab-moves=0 readonly=0",
    };
    // clang-format on
    // The window first, then its widgets by name.
    QStringList actual;
    for (const QWidget* widget : h.form->findChildren<QWidget*>())
        if (is_own(widget)) actual << row_of(widget, h.form.get());
    actual.sort();
    actual.prepend(row_of(h.form.get(), h.form.get()));
    for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i) QCOMPARE(actual[i], expected[i]);
    QCOMPARE(actual.size(), expected.size());
    QCOMPARE(h.form->minimumSize(), h.form->maximumSize());
}

void Form1ShapeTest::focus_chain_keeps_its_order() {
    Harness h;
    const QStringList expected = {"Text1",   "openrom",  "Text2",    "opentlb",  "Text5",    "gettext", "intext",
                                  "Text4",   "List1",    "Command1", "Command2", "Command3", "Text3",   "Text8",
                                  "openyw",  "Command4", "Text6",    "Text12",   "Check2",   "Check3",  "Command5",
                                  "Option3", "Text13",   "Command6", "text9",    "text10",   "Text14",  "Text16",
                                  "Text17",  "Option1",  "Option2",  "Check4",   "Text15"};
    // Every named widget that can take the focus, in the order Tab visits
    // them; the options that are not selected keep their place in the chain.
    QStringList chain;
    QWidget* widget = h.form.get();
    do {
        if (is_own(widget) && widget->focusPolicy() != Qt::NoFocus) chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != h.form.get());
    QCOMPARE(chain, expected);
}

}  // namespace quillmere::ui::testing

QTEST_MAIN(quillmere::ui::testing::Form1ShapeTest)
#include "form1_shape_test.moc"
