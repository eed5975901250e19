#include "core/records/filter_list_file.hpp"
#include "core/records/settings_file.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmere;
    std::u16string text = fuzz::text_of(fuzz::bytes(data, size));
    records::RecordList loaded = records::parse_settings_text(text);
    for (const auto& record : loaded)
        if (!record.name.empty() && record.name[0] == u';') fuzz::fail("a comment record was listed");
    // What the program writes reads back as the same records, as long as no
    // field holds a quote or a line break (the commands refuse those).
    bool writable = true;
    for (const auto& record : loaded)
        for (const std::u16string* field : {&record.name, &record.start, &record.end})
            if (field->find_first_of(u"\"\r\n") != std::u16string::npos ||
                (!field->empty() && (field->front() == u' ' || field->front() == u'\t' || field->back() == u' ' ||
                                     field->back() == u'\t')))
                writable = false;
    if (writable && records::parse_settings_text(records::settings_file_text(loaded)) != loaded)
        fuzz::fail("settings text did not read back");
    // A filter box reaches its fixed point after one write and read.
    std::u16string box = records::filter_box_text(text);
    std::u16string again = records::filter_box_text(box + u"\r\n");
    if (again != box) fuzz::fail("filter box text is not a fixed point");
    return 0;
}
