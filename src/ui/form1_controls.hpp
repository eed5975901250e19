#pragma once
// Form1's controls come from form1.ui: names, captions, positions in pixels
// (twips / 15), tab order, defaults and accessible names. What the form file
// cannot hold is added here: the faces installed on this machine, the classic
// look, and the keyboard rules of the ROM modes and the filter boxes.

class QWidget;

namespace Ui {
class Form1;
}

namespace quillmere::ui {

inline constexpr int kClientHeight = 407;  // 6105 twips
inline constexpr int kNarrowWidth = 437;   // 6555 twips: the text area is out of sight
inline constexpr int kWideWidth = 767;     // 11500 twips: the text area shows

// Creates every group and control of the form inside `form`.
void set_up_form1(QWidget& form, Ui::Form1& controls);

}  // namespace quillmere::ui
