#pragma once
// Where the program keeps its records and filter lists when not told.

#include <QString>

namespace quillmere::ui {

// data/ beside the program, as a copy unpacked anywhere has it. An installed
// program cannot write beside itself, so when neither data/ nor (if data/ is
// missing) the program's folder is writable, the user's data folder is used,
// and created when missing.
QString default_data_dir(const QString& program_dir, const QString& user_data_dir);

}  // namespace quillmere::ui
