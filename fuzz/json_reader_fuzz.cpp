// The ParaTranz JSON reader on arbitrary bytes.

#include "exchange_reader_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmere;
    const std::string_view bytes = fuzz::chars_of(data, size);
    fuzz::check_exchange_reader(exchange::Format::json, bytes, exchange::read_json(bytes));
    return 0;
}
