#include "ui/form1_controls.hpp"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace quillmere::ui {
namespace {

enum class Kind { group, label, line, box, area, list, check, option, button };

struct ControlLayout {
    Kind kind;
    const char* name;
    const char* group;         // nullptr: the group itself sits in the window
    const char16_t* caption;   // caption, or a text box's default text
    int left, top, width, height;  // twips, from the group's (or window's) corner
    int tab;
    bool on = false;               // a check box ticked or an option selected at start
};

// clang-format off
constexpr ControlLayout kControls[] = {
    {Kind::group,  "Frame1",   nullptr,  u"文件",              120,  120, 4575, 2055,  0},
    {Kind::group,  "Frame7",   nullptr,  u"导入相关",          4800,  120, 1575, 2055, 28},
    {Kind::group,  "Frame2",   nullptr,  u"文本地址（16进制）", 120, 2280, 1935, 1455,  5},
    {Kind::group,  "Frame3",   nullptr,  u"记录区",            2160, 2280, 2535, 3735, 13},
    {Kind::group,  "Frame5",   nullptr,  u"过滤与控制符",      4800, 2280, 1575, 3735, 26},
    {Kind::group,  "Frame4",   nullptr,  u"操作",               120, 3840, 1935, 2175,  9},
    {Kind::group,  "Frame6",   nullptr,  u"文本区",            6480,  120, 4815, 5895, 22},

    {Kind::option, "Option1",  "Frame1", u"单字节ROM",          120,  240, 1215,  255, 46},
    {Kind::option, "Option2",  "Frame1", u"双字节ROM",         1560,  240, 1215,  255, 47, true},
    {Kind::option, "Option3",  "Frame1", u"单双字节ROM",       3000,  240, 1335,  255, 35},
    {Kind::line,   "Text1",    "Frame1", u"",                   120,  600, 3015,  270,  1},
    {Kind::button, "openrom",  "Frame1", u"打开ROM",           3240,  600, 1215,  270,  2},
    {Kind::line,   "Text2",    "Frame1", u"",                   120,  960, 3015,  270,  3},
    {Kind::button, "opentlb",  "Frame1", u"双字节码表",        3240,  960, 1215,  270,  4},
    {Kind::line,   "Text13",   "Frame1", u"",                   120, 1320, 3015,  270, 36},
    {Kind::button, "Command6", "Frame1", u"单字节码表",        3240, 1320, 1215,  270, 37},
    {Kind::line,   "Text8",    "Frame1", u"",                   120, 1680, 3015,  270, 20},
    {Kind::button, "openyw",   "Frame1", u"读取译文",          3240, 1680, 1215,  270, 21},

    {Kind::label,  "Label13",  "Frame7", u"双字节过滤区：",     120,  240, 1335,  255, 43},
    {Kind::line,   "Text16",   "Frame7", u"0",                  120,  480,  590,  270, 42},
    {Kind::label,  "Label14",  "Frame7", u"-",                  720,  480,  135,  255, 44},
    {Kind::line,   "Text17",   "Frame7", u"65535",              840,  480,  590,  270, 45},
    {Kind::label,  "Label10",  "Frame7", u"填充字节：",         120,  840, 1335,  255, 38},
    {Kind::line,   "Text14",   "Frame7", u"",                   120, 1080, 1335,  270, 41},
    {Kind::label,  "Label4",   "Frame7", u"最小字节：",         120, 1465,  975,  255, 50},
    {Kind::line,   "Text15",   "Frame7", u"0",                 1080, 1440,  375,  270, 49},
    {Kind::check,  "Check4",   "Frame7", u"打开文本预览",       120, 1800, 1425,  180, 48},

    {Kind::label,  "Label1",   "Frame2", u"开始地址：",         120,  240, 1695,  255,  6},
    {Kind::line,   "Text4",    "Frame2", u"",                   120,  480, 1695,  270, 12},
    {Kind::label,  "Label2",   "Frame2", u"结束地址：",         120,  840, 1335,  255,  7},
    {Kind::line,   "Text5",    "Frame2", u"",                   120, 1080, 1695,  270,  8},

    {Kind::list,   "List1",    "Frame3", u"",                   120,  240, 2295, 2580, 14},
    {Kind::label,  "Label3",   "Frame3", u"名称：",             120, 3000,  615,  255, 18},
    {Kind::line,   "Text3",    "Frame3", u"",                   720, 3000, 1695,  270, 19},
    {Kind::button, "Command1", "Frame3", u"添加",               120, 3360,  615,  270, 15},
    {Kind::button, "Command2", "Frame3", u"删除",               960, 3360,  615,  270, 16},
    {Kind::button, "Command3", "Frame3", u"修改",              1800, 3360,  615,  270, 17},

    {Kind::label,  "Label8",   "Frame5", u"单字节：",           120,  240,  855,  255, 29},
    {Kind::box,    "Text6",    "Frame5", u"",                   120,  480, 1335, 1215, 27},
    {Kind::label,  "Label9",   "Frame5", u"双字节：",           120, 1800, 1095,  255, 30},
    {Kind::box,    "Text12",   "Frame5", u"",                   120, 2040, 1335, 1095, 31},
    {Kind::check,  "Check3",   "Frame5", u"单字节过滤",         120, 3240, 1215,  180, 33},
    {Kind::check,  "Check2",   "Frame5", u"双字节过滤",         120, 3480, 1335,  180, 32},

    {Kind::button, "gettext",  "Frame4", u"导出文本",           240,  240, 1455,  375, 10},
    {Kind::button, "Command4", "Frame4", u"保存文本",           240,  720, 1455,  375, 25},
    {Kind::button, "Command5", "Frame4", u"检查文本",           240, 1200, 1455,  375, 34},
    {Kind::button, "intext",   "Frame4", u"导入文本",           240, 1680, 1455,  390, 11},

    {Kind::label,  "Label5",   "Frame6", u"原文：",             120,  360, 1695,  255, 23},
    {Kind::area,   "text9",    "Frame6", u"",                   120,  600, 4575, 2415, 39},
    {Kind::label,  "Label6",   "Frame6", u"译文：",             120, 3120, 1335,  255, 24},
    {Kind::area,   "text10",   "Frame6", u"",                   120, 3360, 4575, 2415, 40},
};
// clang-format on

int pixels(int twips) { return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel)); }

// The source text is shown in a Song-style face: 宋体 where it is installed,
// otherwise the system's CJK serif.
QFont song_font() {
    const QStringList families = QFontDatabase::families();
    QFont font;
    for (const char* family : {"SimSun", "宋体", "NSimSun", "Noto Serif CJK SC", "Source Han Serif SC",
                               "AR PL UMing CN"}) {
        if (families.contains(QString::fromUtf8(family))) {
            font.setFamily(QString::fromUtf8(family));
            break;
        }
    }
    font.setStyleHint(QFont::Serif);
    font.setPointSize(9);
    return font;
}

// The window's own face: 宋体 where it is installed, otherwise a CJK face
// with the same half-width Latin, so that the captions fit as laid out.
QFont window_font() {
    const QStringList families = QFontDatabase::families();
    QFont font;
    for (const char* family : {"SimSun", "宋体", "NSimSun", "Noto Sans Mono CJK SC", "Noto Sans CJK SC"}) {
        if (families.contains(QString::fromUtf8(family))) {
            font.setFamily(QString::fromUtf8(family));
            break;
        }
    }
    font.setPointSize(9);
    return font;
}

QPlainTextEdit* new_editor(QWidget* parent, bool large) {
    auto* editor = new QPlainTextEdit(parent);
    // No box wraps its lines: a single line of a megabyte would otherwise be
    // laid out in full before the window could show.
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    if (large) {
        // Export texts run to tens of megabytes: no undo history to copy
        // them into.
        editor->setUndoRedoEnabled(false);
    } else {
        editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    return editor;
}

QWidget* create_control(const ControlLayout& layout, QWidget* parent) {
    const QString caption = QString::fromUtf16(layout.caption);
    switch (layout.kind) {
        case Kind::group: return new QGroupBox(caption, parent);
        case Kind::label: return new QLabel(caption, parent);
        case Kind::line: return new QLineEdit(caption, parent);
        case Kind::box: return new_editor(parent, false);
        case Kind::area: return new_editor(parent, true);
        case Kind::list: return new QListWidget(parent);
        case Kind::check: {
            auto* box = new QCheckBox(caption, parent);
            box->setChecked(layout.on);
            return box;
        }
        case Kind::option: {
            auto* option = new QRadioButton(caption, parent);
            option->setChecked(layout.on);
            return option;
        }
        case Kind::button: return new QPushButton(caption, parent);
    }
    return nullptr;
}

bool takes_focus(Kind kind) { return kind != Kind::group && kind != Kind::label; }

// The three ROM modes are one option group: one tab stop, on the selected
// option, and the arrow keys move the selection between them.
void group_rom_modes(QWidget& form, const Form1Controls& c) {
    auto* modes = new QButtonGroup(&form);
    modes->setExclusive(true);
    for (QRadioButton* option : {c.Option1, c.Option2, c.Option3}) modes->addButton(option);
    auto tab_stop_on_selected = [modes] {
        for (QAbstractButton* option : modes->buttons())
            option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    tab_stop_on_selected();
    QObject::connect(modes, &QButtonGroup::buttonToggled, &form, tab_stop_on_selected);
}

// What a screen reader announces for the controls that have no caption of
// their own; each says what the control holds, and no two are alike.
void name_uncaptioned_controls(const Form1Controls& c) {
    const std::pair<QWidget*, const char16_t*> names[] = {
        {c.Text1, u"ROM文件"},          {c.Text2, u"双字节码表文件"},   {c.Text13, u"单字节码表文件"},
        {c.Text8, u"译文文件"},         {c.Text6, u"单字节过滤列表"},   {c.Text12, u"双字节过滤列表"},
        {c.text9, u"原文"},             {c.text10, u"译文"},            {c.Text4, u"开始地址"},
        {c.Text5, u"结束地址"},         {c.Text3, u"记录名称"},         {c.List1, u"记录列表"},
        {c.Text16, u"双字节过滤区起点"}, {c.Text17, u"双字节过滤区终点"}, {c.Text14, u"填充字节"},
        {c.Text15, u"最小字节"},
    };
    for (const auto& [widget, name] : names) widget->setAccessibleName(QString::fromUtf16(name));
}

template <class T>
T* control(QWidget& form, const char* name) {
    return form.findChild<T*>(QString::fromLatin1(name));
}

}  // namespace

Form1Controls create_form1_controls(QWidget& form) {
    form.setFont(window_font());
    std::vector<std::pair<int, QWidget*>> focus_order;
    for (const ControlLayout& layout : kControls) {
        QWidget* parent = layout.group ? control<QWidget>(form, layout.group) : &form;
        QWidget* widget = create_control(layout, parent);
        widget->setObjectName(QString::fromLatin1(layout.name));
        widget->setGeometry(pixels(layout.left), pixels(layout.top), pixels(layout.width), pixels(layout.height));
        if (takes_focus(layout.kind)) focus_order.emplace_back(layout.tab, widget);
    }
    std::sort(focus_order.begin(), focus_order.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focus_order.size(); ++i)
        QWidget::setTabOrder(focus_order[i - 1].second, focus_order[i].second);

    Form1Controls c{};
    c.Option1 = control<QRadioButton>(form, "Option1");
    c.Option2 = control<QRadioButton>(form, "Option2");
    c.Option3 = control<QRadioButton>(form, "Option3");
    c.Text1 = control<QLineEdit>(form, "Text1");
    c.Text2 = control<QLineEdit>(form, "Text2");
    c.Text13 = control<QLineEdit>(form, "Text13");
    c.Text8 = control<QLineEdit>(form, "Text8");
    c.openrom = control<QPushButton>(form, "openrom");
    c.opentlb = control<QPushButton>(form, "opentlb");
    c.Command6 = control<QPushButton>(form, "Command6");
    c.openyw = control<QPushButton>(form, "openyw");
    c.Text16 = control<QLineEdit>(form, "Text16");
    c.Text17 = control<QLineEdit>(form, "Text17");
    c.Text14 = control<QLineEdit>(form, "Text14");
    c.Text15 = control<QLineEdit>(form, "Text15");
    c.Check4 = control<QCheckBox>(form, "Check4");
    c.Text4 = control<QLineEdit>(form, "Text4");
    c.Text5 = control<QLineEdit>(form, "Text5");
    c.List1 = control<QListWidget>(form, "List1");
    c.Text3 = control<QLineEdit>(form, "Text3");
    c.Command1 = control<QPushButton>(form, "Command1");
    c.Command2 = control<QPushButton>(form, "Command2");
    c.Command3 = control<QPushButton>(form, "Command3");
    c.Text6 = control<QPlainTextEdit>(form, "Text6");
    c.Text12 = control<QPlainTextEdit>(form, "Text12");
    c.Check3 = control<QCheckBox>(form, "Check3");
    c.Check2 = control<QCheckBox>(form, "Check2");
    c.gettext = control<QPushButton>(form, "gettext");
    c.Command4 = control<QPushButton>(form, "Command4");
    c.Command5 = control<QPushButton>(form, "Command5");
    c.intext = control<QPushButton>(form, "intext");
    c.Frame6 = control<QGroupBox>(form, "Frame6");
    c.text9 = control<QPlainTextEdit>(form, "text9");
    c.text10 = control<QPlainTextEdit>(form, "text10");

    // The layout was drawn for the classic look: each group's caption sits on
    // its border line, and the margins are narrow enough for the captions.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        classic->setParent(&form);
        form.setStyle(classic);
        for (QWidget* widget : form.findChildren<QWidget*>()) widget->setStyle(classic);
    }

    c.Text16->setMaxLength(5);
    c.Text17->setMaxLength(5);
    c.text9->setFont(song_font());
    // A tab typed into a filter list would silently turn "00=over" into a
    // tag: Tab moves on instead.
    c.Text6->setTabChangesFocus(true);
    c.Text12->setTabChangesFocus(true);
    group_rom_modes(form, c);
    name_uncaptioned_controls(c);
    return c;
}

}  // namespace quillmere::ui
