// The PO reader on arbitrary bytes.

#include "exchange_reader_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmere;
    const std::string_view bytes = fuzz::chars_of(data, size);
    fuzz::check_exchange_reader(exchange::Format::po, bytes, exchange::read_po(bytes));
    return 0;
}
