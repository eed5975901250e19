#pragma once
// Where the bytes of an export file go as the scan makes them: a file being
// replaced, a buffer in memory, a stream.

#include <cstdint>
#include <span>

namespace quillmere {

class ExportSink {
public:
    virtual ~ExportSink() = default;
    virtual void write(std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace quillmere
