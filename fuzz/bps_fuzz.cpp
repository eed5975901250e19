// The BPS reader on hostile patches, and the writer on any pair of images.
// The input's first byte chooses: even, the rest is a source (its first
// byte's length) and a patch, applied with the checksums let through so the
// fuzzer reaches every command; odd, the rest is two images, and the patch
// made from them must rebuild the second.

#include <algorithm>

#include "core/patch/bps.hpp"
#include "core/patch/checksums.hpp"
#include "core/patch/patch_file.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace quillmere;

constexpr std::uint64_t kLimit = std::uint64_t{1} << 20;

void read_hostile(std::span<const std::uint8_t> data) {
    const std::size_t source_size = data.empty() ? 0 : std::min<std::size_t>(data[0], data.size() - 1);
    const auto source = data.subspan(data.empty() ? 0 : 1, source_size);
    const auto patch = data.subspan(data.empty() ? 0 : 1 + source_size);
    for (bool ignore : {true, false}) {
        auto applied = patch::apply_bps(source, patch, {ignore, kLimit});
        if (!applied) {
            const auto& failure = applied.error();
            if (failure.fault == patch::PatchFault::damaged && failure.offset > patch.size())
                fuzz::fail("damage named past the patch's end");
            continue;
        }
        auto header = patch::read_bps_header(patch, kLimit);
        if (!header) fuzz::fail("applied a patch whose header does not read");
        if (applied->bytes.size() != header->target_size) fuzz::fail("result of another size than the patch gives");
        if (!ignore && (!applied->ignored.empty() || patch::crc32(applied->bytes) != header->target_crc))
            fuzz::fail("a checksum that does not match was let through");
        if (!patch::describe_patch(patch)) fuzz::fail("a patch that applies is not described");
    }
}

void round_trip(std::span<const std::uint8_t> data) {
    const auto parts = fuzz::parts(data, 2);
    const patch::Bytes made = patch::create_bps(parts[0], parts[1]);
    auto applied = patch::apply_bps(parts[0], made);
    if (!applied) fuzz::fail("a patch the writer made does not apply");
    if (!std::equal(applied->bytes.begin(), applied->bytes.end(), parts[1].begin(), parts[1].end()))
        fuzz::fail("a patch the writer made does not rebuild the target");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto rest = fuzz::bytes(data + 1, size - 1);
    if (data[0] % 2 == 0) {
        read_hostile(rest);
    } else {
        round_trip(rest);
    }
    return 0;
}
