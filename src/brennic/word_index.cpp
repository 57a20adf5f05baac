// SPDX-License-Identifier: MIT
#include <algorithm>
#include <functional>
#include <new>

#include "brennic/failure.h"
#include "brennic/text_model.h"

namespace brennic {
namespace {

constexpr std::size_t kFirstPlaces = 1024;

std::size_t hash_of(std::string_view word) { return std::hash<std::string_view>{}(word); }

// The tag of a hash: its top 7 bits, with the high bit marking the place used.
std::uint8_t tag_of(std::size_t hash) {
    return static_cast<std::uint8_t>(0x80u | (hash >> (sizeof(std::size_t) * 8 - 7)));
}

}  // namespace

std::uint64_t WordIndex::end_of(WordId id) const {
    std::uint64_t end = ends_[id];
    if (!wraps_.empty()) {
        const auto wrapped = std::upper_bound(wraps_.begin(), wraps_.end(), id) - wraps_.begin();
        end += static_cast<std::uint64_t>(wrapped) << 32;
    }
    return end;
}

std::string_view WordIndex::word(WordId id) const {
    const std::uint64_t begin = id == 0 ? 0 : end_of(id - 1);
    const std::uint64_t end = end_of(id);
    return {text_.data() + begin, static_cast<std::size_t>(end - begin)};
}

std::size_t WordIndex::place_of(std::string_view word, std::size_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    const std::uint8_t tag = tag_of(hash);
    for (std::size_t place = hash & mask;; place = (place + 1) & mask) {
        if (tags_[place] == 0) return place;
        if (tags_[place] == tag && this->word(slots_[place]) == word) return place;
    }
}

void WordIndex::grow_table() {
    const std::size_t places = slots_.empty() ? kFirstPlaces : slots_.size() * 2;
    FlatArray<WordId>().swap(slots_);
    FlatArray<std::uint8_t>().swap(tags_);
    slots_.resize(places);
    tags_.resize(places);
    for (WordId id = 0; id < entries_.size(); ++id) {
        const std::string_view w = word(id);
        const std::size_t hash = hash_of(w);
        const std::size_t place = place_of(w, hash);
        slots_[place] = id;
        tags_[place] = tag_of(hash);
    }
}

WordId WordIndex::put_word(std::string_view word) {
    // Grown before the lookup, so the place found stays valid.
    if ((entries_.size() + 1) * 4 > slots_.size() * 3) grow_table();
    const std::size_t hash = hash_of(word);
    const std::size_t place = place_of(word, hash);
    if (tags_[place] != 0) {
        count(slots_[place]);
        return slots_[place];
    }
    // Ids are 32 bits and npos is none: a text with more distinct stems
    // cannot be held.
    if (entries_.size() >= npos) throw std::bad_alloc();
    const auto id = static_cast<WordId>(entries_.size());
    text_.append(word.data(), word.size());
    const std::uint64_t end = text_.size();
    while ((end >> 32) > wraps_.size()) wraps_.push_back(id);
    ends_.push_back(static_cast<std::uint32_t>(end));
    entries_.push_back(block_word{});
    slots_[place] = id;
    tags_[place] = tag_of(hash);
    return id;
}

WordId WordIndex::find(std::string_view word) const {
    if (slots_.empty()) return npos;
    const std::size_t place = place_of(word, hash_of(word));
    return tags_[place] == 0 ? npos : slots_[place];
}

WordId WordIndex::require(std::string_view word) const {
    const WordId id = find(word);
    if (id == npos) throw Failure("word " + std::string(word) + " not found!");
    return id;
}

int WordIndex::get_freq(std::string_view word) const {
    return static_cast<int>(entries_[require(word)].frequency);
}

void WordIndex::make_vellword(std::string_view word, int status) {
    entries_[require(word)].vell_word = status != FALSE ? 1 : 0;
}

int WordIndex::is_vellword(std::string_view word) const {
    return entries_[require(word)].vell_word != 0 ? TRUE : FALSE;
}

void WordIndex::clear() {
    FlatArray<char>().swap(text_);
    FlatArray<std::uint32_t>().swap(ends_);
    std::vector<WordId>().swap(wraps_);
    FlatArray<block_word>().swap(entries_);
    FlatArray<WordId>().swap(slots_);
    FlatArray<std::uint8_t>().swap(tags_);
}

}  // namespace brennic
