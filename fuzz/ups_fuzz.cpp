// The UPS reader on hostile patches: a source (the first byte's length) and
// a patch, applied with the checksums let through so the fuzzer reaches
// every hunk, and checked.

#include <algorithm>

#include "core/patch/checksums.hpp"
#include "core/patch/patch_file.hpp"
#include "core/patch/ups.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmere;
    const auto input = fuzz::bytes(data, size);
    const std::size_t source_size = input.empty() ? 0 : std::min<std::size_t>(input[0], input.size() - 1);
    const auto source = input.subspan(input.empty() ? 0 : 1, source_size);
    const auto patch = input.subspan(input.empty() ? 0 : 1 + source_size);
    for (bool ignore : {true, false}) {
        auto applied = patch::apply_ups(source, patch, {ignore, std::uint64_t{1} << 20});
        if (!applied) {
            if (applied.error().fault == patch::PatchFault::damaged && applied.error().offset > patch.size())
                fuzz::fail("damage named past the patch's end");
            continue;
        }
        auto header = patch::read_ups_header(patch);
        if (!header) fuzz::fail("applied a patch whose header does not read");
        if (applied->bytes.size() != header->target_size) fuzz::fail("result of another size than the patch gives");
        if (!ignore && patch::crc32(applied->bytes) != header->target_crc)
            fuzz::fail("a checksum that does not match was let through");
        if (!patch::describe_patch(patch)) fuzz::fail("a patch that applies is not described");
    }
    return 0;
}
