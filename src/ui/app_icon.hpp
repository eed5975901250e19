#pragma once

#include <QIcon>

namespace quillmere::ui {

// The window's icon, drawn at 16 and 32 pixels: a cartridge with a quill.
QIcon quillmere_icon();

}  // namespace quillmere::ui
