#include "core/patch/ips.hpp"

#include <algorithm>
#include <cstring>

namespace quillmere::patch {
namespace {

constexpr std::uint8_t kHeader[] = {'P', 'A', 'T', 'C', 'H'};
constexpr std::uint8_t kEof[] = {'E', 'O', 'F'};
// A record at this offset would read as "EOF".
constexpr std::uint64_t kEofOffset = 0x454F46;
constexpr std::uint64_t kMaxRecord = 0xFFFF;
// Unchanged bytes between two changes cheaper to repeat than a new record.
constexpr std::uint64_t kJoinGap = 5;

class IpsWriter {
public:
    explicit IpsWriter(std::span<const std::uint8_t> modified) : modified_(modified) {
        out_.assign(std::begin(kHeader), std::end(kHeader));
    }

    // Plain records for modified[from, to).
    void plain(std::uint64_t from, std::uint64_t to) {
        while (from < to) {
            if (from == kEofOffset) --from;  // the byte before is repeated as it is
            const std::uint64_t size = std::min(to - from, kMaxRecord);
            head(from, size);
            out_.insert(out_.end(), modified_.begin() + static_cast<std::ptrdiff_t>(from),
                        modified_.begin() + static_cast<std::ptrdiff_t>(from + size));
            from += size;
        }
    }

    // Run-length records for modified[from, to), all one byte.
    void run(std::uint64_t from, std::uint64_t to) {
        while (from < to) {
            if (from == kEofOffset) {
                plain(from, from + 1);
                ++from;
                continue;
            }
            const std::uint64_t count = std::min(to - from, kMaxRecord);
            head(from, 0);
            out_.push_back(static_cast<std::uint8_t>(count >> 8));
            out_.push_back(static_cast<std::uint8_t>(count));
            out_.push_back(modified_[from]);
            from += count;
        }
    }

    Bytes finish(std::optional<std::uint64_t> truncation) && {
        out_.insert(out_.end(), std::begin(kEof), std::end(kEof));
        if (truncation) put_be(*truncation, 3);
        return std::move(out_);
    }

private:
    void head(std::uint64_t offset, std::uint64_t size) {
        put_be(offset, 3);
        put_be(size, 2);
    }
    void put_be(std::uint64_t value, int bytes) {
        for (int i = bytes - 1; i >= 0; --i) out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }

    std::span<const std::uint8_t> modified_;
    Bytes out_;
};

// One stretch of changes, written as plain records with the runs of one
// byte that pay for a record of their own taken out: a run inside the
// stretch costs two record heads, one at its edge one, the whole stretch none.
void write_stretch(IpsWriter& writer, std::span<const std::uint8_t> modified, std::uint64_t first,
                   std::uint64_t end) {
    std::uint64_t plain_from = first;
    std::uint64_t at = first;
    while (at < end) {
        std::uint64_t run_end = at + 1;
        while (run_end < end && modified[run_end] == modified[at]) ++run_end;
        const std::uint64_t length = run_end - at;
        const bool left = at == first, right = run_end == end;
        const std::uint64_t worth = left && right ? 3 : (left || right ? 8 : 13);
        if (length > worth) {
            writer.plain(plain_from, at);
            writer.run(at, run_end);
            plain_from = run_end;
        }
        at = run_end;
    }
    writer.plain(plain_from, end);
}

}  // namespace

Expected<Bytes, PatchFailure> create_ips(std::span<const std::uint8_t> original,
                                         std::span<const std::uint8_t> modified) {
    const bool shorter = modified.size() < original.size();
    if (modified.size() > kIpsLimit || (shorter && modified.size() >= kIpsLimit))
        return unexpected(PatchFailure{PatchFault::too_large_for_ips, 0, kIpsLimit, modified.size()});
    auto changed = [&](std::uint64_t i) { return i >= original.size() || original[i] != modified[i]; };

    IpsWriter writer(modified);
    const std::uint64_t size = modified.size();
    std::uint64_t at = 0;
    while (at < size) {
        if (!changed(at)) {
            ++at;
            continue;
        }
        // The stretch runs on over short gaps of unchanged bytes.
        std::uint64_t last = at;
        for (std::uint64_t next = at + 1; next < size && next - last <= kJoinGap; ++next)
            if (changed(next)) last = next;
        write_stretch(writer, modified, at, last + 1);
        at = last + 1;
    }
    return std::move(writer).finish(shorter ? std::optional<std::uint64_t>(size) : std::nullopt);
}

Expected<IpsSummary, PatchFailure> read_ips(std::span<const std::uint8_t> patch) {
    PatchCursor cursor(patch);
    auto header = cursor.take(sizeof kHeader);
    if (!header || !std::equal(header->begin(), header->end(), std::begin(kHeader)))
        return unexpected(PatchFailure{PatchFault::unknown_format});
    IpsSummary summary;
    for (;;) {
        const std::size_t record = cursor.offset();
        auto offset = cursor.big_endian(3);
        if (!offset) return unexpected(offset.error());
        if (*offset == kEofOffset) break;
        auto size = cursor.big_endian(2);
        if (!size) return unexpected(size.error());
        std::uint64_t length = *size;
        if (length == 0) {
            auto count = cursor.big_endian(2);
            if (!count) return unexpected(count.error());
            if (auto value = cursor.byte(); !value) return unexpected(value.error());
            if (*count == 0) return unexpected(damaged_at(record));
            length = *count;
            ++summary.run_records;
        } else if (auto bytes = cursor.take(length); !bytes) {
            return unexpected(bytes.error());
        }
        ++summary.records;
        summary.reach = std::max(summary.reach, *offset + length);
    }
    if (cursor.left() == 3) {
        summary.truncation = *cursor.big_endian(3);
    } else if (!cursor.at_end()) {
        return unexpected(damaged_at(cursor.offset()));
    }
    return summary;
}

Expected<memory::ByteBuffer, PatchFailure> apply_ips(std::span<const std::uint8_t> original,
                                                     std::span<const std::uint8_t> patch) {
    auto summary = read_ips(patch);
    if (!summary) return unexpected(summary.error());
    const std::uint64_t size = std::max<std::uint64_t>(original.size(), summary->reach);
    if (summary->truncation && *summary->truncation > size)
        return unexpected(damaged_at(patch.size() - 3));
    memory::ByteBuffer out = memory::unset_large_buffer(static_cast<std::size_t>(size));
    if (!original.empty()) std::memcpy(out.data(), original.data(), original.size());
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(original.size()), out.end(), std::uint8_t{0});

    // The patch read cleanly above: every field is there.
    PatchCursor cursor(patch);
    static_cast<void>(cursor.take(sizeof kHeader));
    for (;;) {
        const std::uint64_t offset = *cursor.big_endian(3);
        if (offset == kEofOffset) break;
        const std::uint32_t length = *cursor.big_endian(2);
        if (length == 0) {
            const std::uint32_t count = *cursor.big_endian(2);
            const std::uint8_t value = *cursor.byte();
            std::memset(out.data() + offset, value, count);
        } else {
            const auto bytes = *cursor.take(length);
            std::memcpy(out.data() + offset, bytes.data(), length);
        }
    }
    if (summary->truncation) out.resize(*summary->truncation);
    return out;
}

}  // namespace quillmere::patch
