#pragma once
// Message boxes behind an interface, so that tests can answer them.

#include <QString>

class QWidget;

namespace quillmere::ui {

enum class Buttons { ok, yes_no };
enum class Icon { none, information };
enum class Answer { ok, yes, no };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Modal: returns when the box is closed.
    virtual Answer show(QWidget* parent, const QString& title, const QString& text, Buttons buttons, Icon icon) = 0;
};

// The real boxes.
class QtMessageBoxes final : public MessageBoxes {
public:
    Answer show(QWidget* parent, const QString& title, const QString& text, Buttons buttons, Icon icon) override;
};

}  // namespace quillmere::ui
