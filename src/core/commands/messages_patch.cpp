// The catalogue's texts of release patches, checksums and the diff.
#include "core/commands/messages_patch.hpp"

#include "core/commands/messages.hpp"
#include "core/encoding/hex.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::messages {
namespace {

using patch::PatchFault;
using patch::PatchFormat;

Message error(std::u16string_view text) { return error_message(std::u16string(text)); }
Message notice(std::u16string_view text) { return notice_message(std::u16string(text)); }

// Checksums as release notes write them: CRC32 in eight upper-case digits,
// the digests in lower case.
std::u16string crc_text(std::uint64_t crc) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string out;
    for (int shift = 28; shift >= 0; shift -= 4) out += kDigits[(crc >> shift) & 15];
    return out;
}
template <std::size_t N>
std::u16string digest_text(const std::array<std::uint8_t, N>& digest) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    std::u16string out;
    for (std::uint8_t b : digest) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::u16string format_name(PatchFormat format) {
    switch (format) {
    case PatchFormat::ips: return u"IPS";
    case PatchFormat::bps: return u"BPS";
    case PatchFormat::ups: return u"UPS";
    }
    return {};
}

std::u16string bytes_text(std::uint64_t bytes) { return decimal(bytes) + u"字节"; }
// Upper-case hexadecimal without leading zeros, as the tool writes addresses.
std::u16string address_text(std::uint64_t value) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string out;
    do {
        out.insert(out.begin(), kDigits[value & 15]);
        value >>= 4;
    } while (value != 0);
    return out;
}
std::u16string range_text(std::uint64_t first, std::uint64_t last) {
    return address_text(first) + u"-" + address_text(last);
}

std::u16string checksums(std::u16string_view label, std::uint64_t size, const patch::Digests& digests) {
    return std::u16string(label) + u"：" + bytes_text(size) + u"  CRC32 " + crc_text(digests.crc32) + u"  MD5 " +
           digest_text(digests.md5) + u"  SHA-1 " + digest_text(digests.sha1);
}

std::u16string failure_text(const patch::PatchFailure& f) {
    switch (f.fault) {
    case PatchFault::unknown_format: return u"无法识别的补丁：不是IPS、BPS或UPS补丁";
    case PatchFault::damaged: return u"补丁在第" + decimal(f.offset) + u"字节处损坏";
    case PatchFault::source_checksum:
        return u"补丁不适用于此ROM：CRC32应为" + crc_text(f.expected) + u"，实为" + crc_text(f.actual);
    case PatchFault::target_checksum:
        return u"应用补丁的结果不对：CRC32应为" + crc_text(f.expected) + u"，实为" + crc_text(f.actual);
    case PatchFault::patch_checksum:
        return u"补丁已损坏：补丁的CRC32应为" + crc_text(f.expected) + u"，实为" + crc_text(f.actual);
    case PatchFault::source_too_short:
        return u"补丁不适用于此ROM：ROM应有" + bytes_text(f.expected) + u"，实有" + bytes_text(f.actual);
    case PatchFault::too_large:
        return u"补丁的结果过大：" + bytes_text(f.actual) + u"，最多" + bytes_text(f.expected);
    case PatchFault::too_large_for_ips: return u"IPS补丁只能用于16MB以内的ROM";
    }
    return {};
}

}  // namespace

// ---- patches

Message patch_failure(const patch::PatchFailure& failure) { return error(failure_text(failure)); }
std::u16string ignored_checksum(const patch::PatchFailure& failure) {
    return u"警告：" + failure_text(failure) + u"（已忽略）";
}
Message file_unreadable(const std::filesystem::path& path) { return error(u"无法读取文件：" + path_text(path)); }
Message ips_without_metadata() { return error(u"IPS补丁不能带元数据"); }
Message patch_created(PatchFormat format, std::uint64_t bytes) {
    return notice(format_name(format) + u"补丁已写入，共" + bytes_text(bytes));
}
Message patch_applied(PatchFormat format) { return notice(format_name(format) + u"补丁已应用，结果已写入"); }
Message patch_readable(PatchFormat format) { return notice(format_name(format) + u"补丁完好"); }

std::vector<std::u16string> patch_info_lines(const patch::PatchInfo& info) {
    std::vector<std::u16string> lines = {u"格式：" + format_name(info.format)};
    if (info.format == PatchFormat::ips) {
        lines.push_back(u"记录：" + decimal(info.ips.records) + u"条，其中重复字节" + decimal(info.ips.run_records) +
                        u"条");
        if (info.ips.reach > 0) lines.push_back(u"最后改动的字节：" + address_text(info.ips.reach - 1));
        if (info.ips.truncation) lines.push_back(u"截断为：" + bytes_text(*info.ips.truncation));
        return lines;
    }
    lines.push_back(u"原始：" + bytes_text(info.source_size) + u"  CRC32 " + crc_text(info.source_crc));
    lines.push_back(u"结果：" + bytes_text(info.target_size) + u"  CRC32 " + crc_text(info.target_crc));
    lines.push_back(u"补丁：CRC32 " + crc_text(info.recorded_patch_crc) +
                    (info.patch_crc == info.recorded_patch_crc ? u"（相符）" : u"（实为" + crc_text(info.patch_crc) + u"）"));
    if (info.format == PatchFormat::ups) {
        lines.push_back(u"改动块：" + decimal(info.hunks) + u"个");
        return lines;
    }
    const patch::BpsCommands& c = info.commands;
    lines.push_back(u"命令：SourceRead " + decimal(c.source_reads) + u"，TargetRead " + decimal(c.target_reads) +
                    u"，SourceCopy " + decimal(c.source_copies) + u"，TargetCopy " + decimal(c.target_copies));
    if (!info.metadata.empty()) lines.push_back(u"元数据：" + text::decode_utf8(info.metadata).text);
    return lines;
}

// ---- checksums

std::u16string original_checksums(std::uint64_t size, const patch::Digests& digests) {
    return checksums(u"原始", size, digests);
}
std::u16string result_checksums(std::uint64_t size, const patch::Digests& digests) {
    return checksums(u"结果", size, digests);
}

// ---- the diff

std::u16string changed_range(std::uint64_t first, std::uint64_t last, std::uint64_t changed) {
    return range_text(first, last) + u" " + bytes_text(changed);
}
std::u16string explained_range(std::uint64_t first, std::uint64_t last, std::uint64_t changed,
                               std::u16string_view explanation) {
    return changed_range(first, last, changed) + u"：" + std::u16string(explanation);
}
std::u16string unexplained_range(std::uint64_t first, std::uint64_t last) {
    return u"未说明的改动：" + range_text(first, last);
}
std::u16string size_changed(std::uint64_t from, std::uint64_t to) {
    return u"大小由" + bytes_text(from) + u"变为" + bytes_text(to);
}
std::u16string record_explains(std::u16string_view address) { return std::u16string(address) + u"行"; }
std::u16string pointer_explains(std::uint32_t address) { return u"指针" + to_hex(address); }
std::u16string free_block_explains(std::uint32_t start, std::uint32_t end) {
    return u"空闲区" + to_hex(start) + u"-" + to_hex(end);
}
Message diff_summary(std::size_t ranges, std::uint64_t bytes) {
    if (ranges == 0) return notice(u"两个文件相同");
    return notice(u"共" + decimal(ranges) + u"处改动，" + bytes_text(bytes));
}
Message unexplained_changes(std::size_t ranges) { return error(decimal(ranges) + u"处改动未说明"); }

}  // namespace quillmere::messages
