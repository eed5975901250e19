#include "core/script/entry_failure.hpp"

namespace quillmere {
namespace {

std::u16string missing_tag_text(const std::u16string& tag) { return u"过滤区中缺少[" + tag + u"]"; }

}  // namespace

Message unprocessable_message(std::u16string_view address) {
    return error_message(std::u16string(address) + u"行文本处理错误");
}

Message measuring_message(std::u16string_view address, const EntryFailure& failure) {
    switch (failure.fault) {
        case EntryFault::missing_character:
            return error_message(std::u16string(address) + u"行出错，" + u"码表中缺少[" + failure.what + u"]字");
        case EntryFault::missing_tag:
            return error_message(std::u16string(address) + u"行出错，" + missing_tag_text(failure.what));
        case EntryFault::unprocessable:
        case EntryFault::not_code_page_936: break;
    }
    return unprocessable_message(address);
}

Message encoding_message(std::u16string_view address, const EntryFailure& failure) {
    if (failure.fault == EntryFault::missing_tag) return error_message(missing_tag_text(failure.what));
    return measuring_message(address, failure);
}

Message excess_message(std::u16string_view address, std::u16string_view excess) {
    return error_message(std::u16string(address) + u"行的文本超出原长" + u" " + std::u16string(excess) + u"个字节");
}

}  // namespace quillmere
