#pragma once
// The controls of Form1: created from one table of names, captions,
// positions and tab numbers, and reached by name afterwards.

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace quillmere::ui {

// Twips per pixel on a 96 dots-per-inch screen.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = 431;   // 6465 twips
inline constexpr int kClientHeight = 407;  // 6105 twips
inline constexpr int kNarrowWidth = 437;   // 6555 twips: the text area is out of sight
inline constexpr int kWideWidth = 767;     // 11500 twips: the text area shows

struct Form1Controls {
    QRadioButton *Option1, *Option2, *Option3;
    QLineEdit *Text1, *Text2, *Text13, *Text8;
    QPushButton *openrom, *opentlb, *Command6, *openyw;
    QLineEdit *Text16, *Text17, *Text14, *Text15;
    QCheckBox* Check4;
    QLineEdit *Text4, *Text5;
    QListWidget* List1;
    QLineEdit* Text3;
    QPushButton *Command1, *Command2, *Command3;
    QPlainTextEdit *Text6, *Text12;
    QCheckBox *Check3, *Check2;
    QPushButton *gettext, *Command4, *Command5, *intext;
    QGroupBox* Frame6;
    QPlainTextEdit *text9, *text10;
};

// Creates every group and control inside `form` with its defaults, sets the
// focus order by tab number and returns the controls the commands use.
Form1Controls create_form1_controls(QWidget& form);

}  // namespace quillmere::ui
