#include "ui/form1_controls.hpp"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QStyle>
#include <QStyleFactory>
#include <initializer_list>
#include <optional>

#include "ui_form1.h"

namespace quillmere::ui {
namespace {

// Keeps the widget's size (set by the form) and gives it the first of
// `families` that is installed.
void use_face(QWidget& widget, std::initializer_list<const char*> families,
              std::optional<QFont::StyleHint> hint = std::nullopt) {
    const QStringList installed = QFontDatabase::families();
    QFont font = widget.font();
    for (const char* family : families) {
        if (installed.contains(QString::fromUtf8(family))) {
            font.setFamily(QString::fromUtf8(family));
            break;
        }
    }
    if (hint) font.setStyleHint(*hint);
    widget.setFont(font);
}

// The three ROM modes are one option group: one tab stop, on the selected
// option, and the arrow keys move the selection between them.
void one_tab_stop_for_rom_modes(QWidget& form, QButtonGroup& modes) {
    auto tab_stop_on_selected = [&modes] {
        for (QAbstractButton* option : modes.buttons())
            option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    tab_stop_on_selected();
    QObject::connect(&modes, &QButtonGroup::buttonToggled, &form, tab_stop_on_selected);
}

}  // namespace

void set_up_form1(QWidget& form, Ui::Form1& c) {
    c.setupUi(&form);

    // The window's own face: 宋体 where it is installed, otherwise a CJK face
    // with the same half-width Latin, so that the captions fit as laid out.
    use_face(form, {"SimSun", "宋体", "NSimSun", "Noto Sans Mono CJK SC", "Noto Sans CJK SC"});
    // The source text is shown in a Song-style face: 宋体 where it is
    // installed, otherwise the system's CJK serif.
    use_face(*c.text9, {"SimSun", "宋体", "NSimSun", "Noto Serif CJK SC", "Source Han Serif SC", "AR PL UMing CN"},
             QFont::Serif);

    // The layout was drawn for the classic look: each group's caption sits on
    // its border line, and the margins are narrow enough for the captions.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        classic->setParent(&form);
        form.setStyle(classic);
        for (QWidget* widget : form.findChildren<QWidget*>()) widget->setStyle(classic);
    }

    // A tab typed into a filter list would silently turn "00=over" into a
    // tag: Tab moves on instead.
    c.Text6->setTabChangesFocus(true);
    c.Text12->setTabChangesFocus(true);
    one_tab_stop_for_rom_modes(form, *c.modes);
}

}  // namespace quillmere::ui
