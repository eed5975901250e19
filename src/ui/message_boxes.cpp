#include "ui/message_boxes.hpp"

#include <QMessageBox>

namespace quillmere::ui {

Answer QtMessageBoxes::show(QWidget* parent, const QString& title, const QString& text, Buttons buttons,
                            Icon icon) {
    QMessageBox box(icon == Icon::information ? QMessageBox::Information : QMessageBox::NoIcon, title, text,
                    buttons == Buttons::yes_no ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    const int pressed = box.exec();
    if (buttons == Buttons::ok) return Answer::ok;
    return pressed == QMessageBox::Yes ? Answer::yes : Answer::no;
}

}  // namespace quillmere::ui
