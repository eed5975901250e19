// The CSV reader on arbitrary bytes, in both fallback encodings (the first
// byte chooses).

#include "exchange_reader_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmere;
    if (size == 0) return 0;
    const auto fallback = data[0] & 1 ? exchange::CsvEncoding::gbk : exchange::CsvEncoding::utf8;
    const std::string_view bytes = fuzz::chars_of(data + 1, size - 1);
    fuzz::check_exchange_reader(exchange::Format::csv, bytes, exchange::read_csv(bytes, fallback));
    return 0;
}
