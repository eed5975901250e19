#include "core/find/text_search.hpp"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "core/encoding/hex.hpp"
#include "core/encoding/markers.hpp"
#include "core/find/hit_map.hpp"
#include "core/script/token_walk.hpp"

namespace quillmere::find {

// Builds the graph of a text; see text_query.
class TextQueryBuilder {
public:
    TextQueryBuilder(std::span<const TableLine> double_lines, std::span<const TableLine> single_lines,
                     const ScriptTables& tables)
        : tables_(tables) {
        // Single-byte lines first, each table in file order: the order of
        // the check at equal length.
        for (const TableLine& line : single_lines) add_value(line.value, single_byte_key(line.key));
        for (const TableLine& line : double_lines) add_value(line.value, double_byte_key(line.key));
        for (auto& [first, values] : by_first_)
            std::stable_sort(values.begin(), values.end(),
                             [](const Value& a, const Value& b) { return a.text.size() > b.text.size(); });
        tables.filters.for_each_tag([this](std::u16string_view tag, const FilterLookup::TagCodes& codes) {
            std::vector<std::vector<std::uint8_t>>& encodings = tag_codes_[std::u16string(tag)];
            if (codes.single) encodings.push_back({*codes.single});
            for (std::uint16_t code : codes.doubles)
                encodings.push_back({static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code)});
        });
    }

    Expected<TextQuery, QueryFailure> build(std::u16string_view text) {
        query_.steps_from_.assign(text.size() + 1, {});
        text_ = text;
        walk_tokens(text, *this);
        if (failure_) return unexpected(std::move(*failure_));
        if (auto refused = unreachable_end()) return unexpected(std::move(*refused));
        measure();
        return std::move(query_);
    }

    // The token walk.
    bool token(std::u16string_view token) {
        const auto at = static_cast<std::uint32_t>(token.data() - text_.data());
        const auto to = static_cast<std::uint32_t>(at + token.size());
        std::vector<std::vector<std::uint8_t>> encodings;
        // The bytes the import writes for it first, then the tag's other codes.
        if (auto bytes = text2code(token, tables_, CodeRange{}); bytes && !bytes->empty())
            encodings.push_back(std::move(*bytes));
        if (auto tag = tag_codes_.find(std::u16string(token)); tag != tag_codes_.end())
            encodings.insert(encodings.end(), tag->second.begin(), tag->second.end());
        if (tables_.hex_bytes)
            if (auto byte = read_hex_byte_marker(token)) encodings.push_back({*byte});
        if (encodings.empty()) {
            failure_ = QueryFailure{QueryFailure::Cause::bad_token, std::u16string(token)};
            return false;
        }
        std::unordered_set<std::string> seen;
        for (const auto& bytes : encodings)
            if (seen.insert(std::string(bytes.begin(), bytes.end())).second) add_step(at, to, token, bytes);
        return true;
    }
    std::size_t plain(std::u16string_view text, std::size_t at) {
        const std::u16string_view rest = text.substr(at, text.find(u'{', at) - at);
        if (auto values = by_first_.find(rest.front()); values != by_first_.end())
            for (const Value& value : values->second)
                if (rest.starts_with(value.text))
                    add_step(at, at + value.text.size(), value.text, {value.code.bytes.data(), value.code.size});
        return at + 1;
    }
    void unclosed(std::u16string_view rest) {
        failure_ = QueryFailure{QueryFailure::Cause::bad_token, std::u16string(rest)};
    }
    void malformed() {}

private:
    struct Value {
        std::u16string text;
        CodeBytes code;
    };

    void add_value(const std::u16string& text, CodeBytes code) {
        if (!code.usable() || text.empty()) return;
        std::vector<Value>& values = by_first_[text.front()];
        for (const Value& value : values)
            if (value.text == text && value.code.size == code.size && value.code.bytes == code.bytes) return;
        values.push_back({text, code});
    }

    void add_step(std::size_t from, std::size_t to, std::u16string_view shown, std::span<const std::uint8_t> bytes) {
        auto [at, fresh] = shown_index_.try_emplace(std::u16string(shown), query_.shown_.size());
        if (fresh) query_.shown_.emplace_back(shown);
        TextQuery::Step step{static_cast<std::uint32_t>(to), static_cast<std::uint32_t>(at->second),
                             static_cast<std::uint32_t>(query_.bytes_.size()),
                             static_cast<std::uint32_t>(bytes.size())};
        query_.bytes_.insert(query_.bytes_.end(), bytes.begin(), bytes.end());
        query_.steps_from_[from].push_back(static_cast<std::uint32_t>(query_.steps_.size()));
        query_.steps_.push_back(step);
    }

    // Unless some encoding reaches the end: the furthest place the
    // encodings reach and cannot leave, whose character is in no table.
    std::optional<QueryFailure> unreachable_end() const {
        std::vector<bool> reached(query_.steps_from_.size(), false);
        reached[0] = true;
        std::size_t stuck = 0;
        for (std::size_t node = 0; node < query_.end(); ++node) {
            if (!reached[node]) continue;
            if (query_.steps_from_[node].empty()) stuck = node;
            for (std::uint32_t index : query_.steps_from_[node]) reached[query_.steps_[index].to] = true;
        }
        if (reached.back()) return std::nullopt;
        const bool pair = text_[stuck] >= 0xD800 && text_[stuck] <= 0xDBFF && stuck + 1 < text_.size();
        return QueryFailure{QueryFailure::Cause::not_in_tables, std::u16string(text_.substr(stuck, pair ? 2 : 1))};
    }

    void measure() {
        std::vector<std::size_t> longest(query_.steps_from_.size(), 0);
        for (std::size_t node = 0; node < query_.end(); ++node)
            for (std::uint32_t index : query_.steps_from_[node]) {
                const TextQuery::Step& step = query_.steps_[index];
                longest[step.to] = std::max(longest[step.to], longest[node] + step.length);
                if (node == 0) query_.first_bytes_[query_.bytes_[step.bytes]] = true;
            }
        query_.longest_ = *std::max_element(longest.begin(), longest.end());
    }

    const ScriptTables& tables_;
    std::unordered_map<char16_t, std::vector<Value>> by_first_;
    std::unordered_map<std::u16string, std::vector<std::vector<std::uint8_t>>> tag_codes_;
    std::unordered_map<std::u16string, std::size_t> shown_index_;
    std::u16string_view text_;
    TextQuery query_;
    std::optional<QueryFailure> failure_;
};

Expected<TextQuery, QueryFailure> text_query(std::u16string_view text, std::span<const TableLine> double_lines,
                                             std::span<const TableLine> single_lines, const ScriptTables& tables) {
    if (text.empty()) return unexpected(QueryFailure{QueryFailure::Cause::empty, {}});
    if (text.size() > kMaxQueryLength) return unexpected(QueryFailure{QueryFailure::Cause::too_long, {}});
    for (char16_t unit : text)
        if (is_control(unit)) return unexpected(QueryFailure{QueryFailure::Cause::control_character, {unit}});
    TextQueryBuilder builder(double_lines, single_lines, tables);
    return builder.build(text);
}

namespace {

// Depth first through the graph from one offset, each (node, bytes so far)
// tried once; the encoding found is the first in the order of the steps.
class TextMatcher {
public:
    TextMatcher(std::span<const std::uint8_t> rom, const TextQuery& query)
        : rom_(rom), query_(query), width_(query.longest() + 1), seen_((query.end() + 1) * width_, 0) {}

    // The bytes of the encoding found at `offset` within `room` bytes, and
    // its steps into `steps`; 0 when none stands there.
    std::size_t match(std::size_t offset, std::size_t room, std::vector<std::uint32_t>& steps) {
        if (++round_ == 0) {
            std::fill(seen_.begin(), seen_.end(), 0);
            round_ = 1;
        }
        frames_.assign(1, Frame{0, 0, 0});
        while (!frames_.empty()) {
            Frame& frame = frames_.back();
            if (frame.node == query_.end()) {
                steps.clear();
                for (std::size_t i = 0; i + 1 < frames_.size(); ++i)
                    steps.push_back(query_.steps_from(frames_[i].node)[frames_[i].next - 1]);
                return frame.length;
            }
            const auto from = query_.steps_from(frame.node);
            if (frame.next == from.size()) {
                frames_.pop_back();
                continue;
            }
            const TextQuery::Step& step = query_.step(from[frame.next++]);
            const std::size_t length = frame.length + step.length;
            if (length > room) continue;
            const auto bytes = query_.bytes(step);
            if (!std::equal(bytes.begin(), bytes.end(),
                            rom_.begin() + static_cast<std::ptrdiff_t>(offset + frame.length)))
                continue;
            std::uint32_t& seen = seen_[step.to * width_ + length];
            if (seen == round_) continue;
            seen = round_;
            frames_.push_back(Frame{step.to, length, 0});
        }
        return 0;
    }

private:
    struct Frame {
        std::size_t node = 0;
        std::size_t length = 0;  // bytes matched so far
        std::size_t next = 0;    // the next step to try
    };

    std::span<const std::uint8_t> rom_;
    const TextQuery& query_;
    std::size_t width_;
    std::vector<std::uint32_t> seen_;
    std::uint32_t round_ = 0;
    std::vector<Frame> frames_;
};

}  // namespace

TextHits find_text(std::span<const std::uint8_t> rom, const TextQuery& query, Stretch stretch, std::size_t keep) {
    TextHits found;
    if (stretch.last >= rom.size() || stretch.first > stretch.last) return found;
    TextMatcher matcher(rom, query);
    std::vector<std::uint32_t> steps;
    for (std::size_t offset = stretch.first; offset <= stretch.last; ++offset) {
        if (!query.may_start(rom[offset])) continue;
        const std::size_t length = matcher.match(offset, stretch.last - offset + 1, steps);
        if (length == 0) continue;
        if (found.hits.size() < keep) found.hits.push_back({offset, length, steps});
        ++found.total;
    }
    return found;
}

std::u16string text_map(const TextQuery& query, const TextHit& hit) {
    std::u16string text;
    std::unordered_set<std::u16string> listed;
    for (std::uint32_t index : hit.steps) {
        const TextQuery::Step& step = query.step(index);
        if (!listed.insert(query.shown(step)).second) continue;
        if (!text.empty()) text += u' ';
        text += query.shown(step);
        text += u'=';
        for (std::uint8_t byte : query.bytes(step)) append_hex_byte(text, byte);
    }
    return text;
}

std::u16string table_preview(std::span<const std::uint8_t> rom, std::size_t offset, const CodeTables& tables,
                             std::size_t count) {
    std::u16string text;
    for (std::size_t i = 0; i < count && offset < rom.size(); ++i) {
        if (tables.double_byte && offset + 1 < rom.size()) {
            if (const std::u16string& value = tables.double_byte->at(rom[offset], rom[offset + 1]); !value.empty()) {
                append_shown(text, value);
                offset += 2;
                continue;
            }
        }
        const std::u16string* value = tables.single ? &tables.single->at(rom[offset]) : nullptr;
        if (value && !value->empty())
            append_shown(text, *value);
        else
            text += u'.';
        ++offset;
    }
    return text;
}

}  // namespace quillmere::find
