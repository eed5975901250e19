#include "core/records/settings_file.hpp"

#include "core/text/lines.hpp"

namespace quillmere::records {
namespace {

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }
bool is_line_end(char16_t c) { return c == u'\r' || c == u'\n'; }

// Walks the text one field at a time.
class FieldReader {
public:
    explicit FieldReader(std::u16string_view text) : text_(text) {}

    // Skips blanks and empty lines; false at the end of the text.
    bool skip_to_content() {
        while (pos_ < text_.size() && (is_blank(text_[pos_]) || is_line_end(text_[pos_]))) ++pos_;
        return pos_ < text_.size();
    }

    // Reads one field and the separator after it. A field that starts right
    // after a line end may start on a later line.
    std::u16string read_field() {
        if (after_line_end_) skip_to_content();
        skip_blanks();
        std::u16string field;
        if (pos_ < text_.size() && text_[pos_] == u'"') {
            ++pos_;
            std::size_t close = pos_;
            while (close < text_.size() && text_[close] != u'"' && !is_line_end(text_[close])) ++close;
            field.assign(text_.substr(pos_, close - pos_));
            pos_ = close;
            if (pos_ < text_.size() && text_[pos_] == u'"') ++pos_;
            while (pos_ < text_.size() && text_[pos_] != u',' && !is_line_end(text_[pos_])) ++pos_;
        } else {
            std::size_t stop = pos_;
            while (stop < text_.size() && text_[stop] != u',' && !is_line_end(text_[stop])) ++stop;
            std::size_t last = stop;
            while (last > pos_ && is_blank(text_[last - 1])) --last;
            field.assign(text_.substr(pos_, last - pos_));
            pos_ = stop;
        }
        consume_separator();
        return field;
    }

    // Starts the next record on a fresh footing: what ended the last field no
    // longer matters.
    void start_record() { after_line_end_ = true; }

private:
    void skip_blanks() {
        while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
    }

    void consume_separator() {
        after_line_end_ = false;
        if (pos_ >= text_.size()) return;
        if (text_[pos_] == u',') {
            ++pos_;
            return;
        }
        // A line end: CR LF, a lone CR or a lone LF.
        if (text_[pos_] == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n') ++pos_;
        ++pos_;
        after_line_end_ = true;
    }

    std::u16string_view text_;
    std::size_t pos_ = 0;
    bool after_line_end_ = true;
};

void append_quoted(std::u16string& out, std::u16string_view field) {
    out += u'"';
    out += field;
    out += u'"';
}

}  // namespace

std::u16string settings_file_text(const RecordList& records) {
    std::u16string out;
    for (const Record& record : records) {
        append_quoted(out, record.name);
        out += u',';
        append_quoted(out, record.start);
        out += u',';
        append_quoted(out, record.end);
        out += text::kLineEnd;
    }
    return out;
}

RecordList parse_settings_text(std::u16string_view text) {
    RecordList records;
    FieldReader reader(text);
    for (;;) {
        reader.start_record();
        if (!reader.skip_to_content()) break;
        Record record;
        record.name = reader.read_field();
        record.start = reader.read_field();
        record.end = reader.read_field();
        if (!record.name.starts_with(u';')) records.push_back(std::move(record));
    }
    return records;
}

Expected<RecordList, files::FileError> load_records(const std::filesystem::path& settings_file) {
    auto decoded = files::read_text_file(settings_file);
    if (!decoded) return unexpected(decoded.error());
    return parse_settings_text(decoded->text);
}

Expected<Done, files::TextWriteFailure> save_records(const std::filesystem::path& settings_file,
                                                    const RecordList& records) {
    return files::write_text_file(settings_file, settings_file_text(records));
}

}  // namespace quillmere::records
