#pragma once
// Qt's own texts (the standard buttons of message boxes, the file dialog) in
// Simplified Chinese, whatever the system's locale.

class QCoreApplication;
class QTranslator;

namespace quillmere::ui {

// Installs Qt's zh_CN translations into `app` and makes Chinese the default
// locale. Returns the installed translator (owned by `app`), or nullptr when
// the translations are not installed on this system.
QTranslator* install_chinese_translations(QCoreApplication& app);

}  // namespace quillmere::ui
