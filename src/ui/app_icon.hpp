#pragma once

#include <QIcon>
#include <QImage>

namespace quillmere::ui {

// The program's icon, a cartridge with a quill, drawn at `size` pixels.
QImage quillmere_icon_image(int size);

// The window's icon, drawn at 16 and 32 pixels.
QIcon quillmere_icon();

}  // namespace quillmere::ui
