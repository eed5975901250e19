// The IPS reader on hostile patches, and the writer on any pair of images.
// The input's first byte chooses: even, the rest is a source (its first
// byte's length) and a patch; odd, the rest is two images, and the patch
// made from them must rebuild the second.

#include <algorithm>

#include "core/patch/ips.hpp"
#include "core/patch/patch_file.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace quillmere;

void read_hostile(std::span<const std::uint8_t> data) {
    const std::size_t source_size = data.empty() ? 0 : std::min<std::size_t>(data[0], data.size() - 1);
    const auto source = data.subspan(data.empty() ? 0 : 1, source_size);
    const auto patch = data.subspan(data.empty() ? 0 : 1 + source_size);
    auto applied = patch::apply_ips(source, patch);
    auto summary = patch::read_ips(patch);
    if (!applied) {
        if (applied.error().fault == patch::PatchFault::damaged && applied.error().offset > patch.size())
            fuzz::fail("damage named past the patch's end");
        return;
    }
    if (!summary) fuzz::fail("applied a patch that does not read");
    const std::uint64_t reach = std::max<std::uint64_t>(source.size(), summary->reach);
    if (applied->size() != summary->truncation.value_or(reach)) fuzz::fail("result of an unexpected size");
}

void round_trip(std::span<const std::uint8_t> data) {
    const auto parts = fuzz::parts(data, 2);
    auto made = patch::create_ips(parts[0], parts[1]);
    if (!made) fuzz::fail("a small result refused");
    auto applied = patch::apply_ips(parts[0], *made);
    if (!applied) fuzz::fail("a patch the writer made does not apply");
    if (!std::equal(applied->begin(), applied->end(), parts[1].begin(), parts[1].end()))
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
