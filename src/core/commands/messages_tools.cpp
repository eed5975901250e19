#include "core/commands/messages_tools.hpp"

namespace quillmere::messages {

Message cancelled() { return notice_message(u"已取消，未写入任何文件"); }

Message choose_import_out() { return error_message(u"请选择导入结果的输出文件"); }

Message tools_settings_not_saved() { return error_message(u"工具箱设置保存失败"); }

}  // namespace quillmere::messages
