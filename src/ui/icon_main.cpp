// quillmere-icon DIR: writes the program's icon as DIR/hicolor/NxN/apps/quillmere.png
// at the sizes desktops look for, drawn by the same code as the window's icon.
#include <QDir>
#include <QImage>
#include <cstdio>

#include "ui/app_icon.hpp"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillmere-icon DIR\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        if (!root.mkpath(folder) ||
            !quillmere::ui::quillmere_icon_image(size).save(root.filePath(folder + QStringLiteral("/quillmere.png")))) {
            std::fprintf(stderr, "cannot write the %dx%d icon into %s\n", size, size, argv[1]);
            return 1;
        }
    }
    return 0;
}
