#pragma once
// Where the export scan puts its records: the export text in memory, or
// the bytes of the export file handed to a sink in chunks.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/export/export_sink.hpp"
#include "core/memory/large_buffer.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::export_scan {

// A chunk of the file, and how big it gets before it goes to the sink.
inline constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

// The export text as characters.
class TextOutput {
public:
    using Unit = char16_t;
    void reserve(std::size_t characters) { memory::reserve_large(text_, characters); }
    void put(std::span<const char16_t> record) { text_.append(record.data(), record.size()); }
    std::u16string take() { return std::move(text_); }

private:
    std::u16string text_;
};

// The bytes of the export file, each piece encoded once before the scan.
class ByteOutput {
public:
    using Unit = std::uint8_t;
    explicit ByteOutput(ExportSink& sink) : sink_(sink) { chunk_.reserve(kChunkBytes + 4096); }
    void reserve(std::size_t) {}
    void put(std::span<const std::uint8_t> record) {
        chunk_.insert(chunk_.end(), record.begin(), record.end());
        if (chunk_.size() >= kChunkBytes) flush();
    }
    void flush() {
        if (!chunk_.empty()) sink_.write(chunk_);
        chunk_.clear();
    }

private:
    ExportSink& sink_;
    std::vector<std::uint8_t> chunk_;
};

// The bytes of the export file when some piece cannot be encoded before
// the scan: the scan writes characters, and each record is encoded as it
// closes. A record the encoding cannot hold marks the whole file so; the
// rest then only runs to its end, for the scan's own failures.
class EncodingOutput {
public:
    using Unit = char16_t;
    EncodingOutput(ExportSink& sink, text::Encoding encoding) : bytes_(sink), encoding_(encoding) {}
    void reserve(std::size_t) {}
    void put(std::span<const char16_t> record) {
        if (unencodable_) return;
        auto bytes = text::encode(std::u16string_view(record.data(), record.size()), encoding_);
        if (!bytes) {
            unencodable_ = true;
            return;
        }
        bytes_.put(*bytes);
    }
    void flush() { bytes_.flush(); }
    bool unencodable() const { return unencodable_; }

private:
    ByteOutput bytes_;
    text::Encoding encoding_;
    bool unencodable_ = false;
};

}  // namespace quillmere::export_scan
