#pragma once
// The tools window's own messages; its labels are in tools_texts.hpp.

#include "core/commands/message.hpp"

namespace quillmere::messages {

// "已取消，未写入任何文件" (提示)
Message cancelled();
// "请选择导入结果的输出文件" (错误): the tools window writes an import's
// result only to a file of its own, never over the ROM it reads.
Message choose_import_out();
// "工具箱设置保存失败" (错误)
Message tools_settings_not_saved();

}  // namespace quillmere::messages
