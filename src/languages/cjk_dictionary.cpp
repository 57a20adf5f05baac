// SPDX-License-Identifier: MIT
#include "languages/cjk_dictionary.h"

#include <unicode/ucharstrie.h>
#include <unicode/udata.h>
#include <unicode/utypes.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>

namespace brennic {

namespace {

// The dictionary's file: ICU's "Dict" data, version 1, a header of eight
// 32-bit numbers and then the trie. Of the numbers, the first is the byte
// offset of the trie, the fourth the size of the whole, the fifth the kind
// of trie and the sixth the transform applied to the text before lookup.
constexpr std::size_t kHeaderNumbers = 8;
constexpr int32_t kTrieOffset = 0;
constexpr int32_t kTotalSize = 3;
constexpr int32_t kTrieType = 4;
constexpr int32_t kTransform = 5;
// A trie of UTF-16 units whose words hold values: their weights.
constexpr int32_t kUnitTrieWithValues = 1 | 8;

// The longest word looked up, in UTF-16 units, and the weight of a
// character that starts no word of one character: the iterator's own.
constexpr std::size_t kLongestWord = 20;
constexpr std::uint32_t kUnknownCharacter = 255;

// The first characters whose place in the trie is remembered: U+3000 to
// U+9FFF, where every character of in_cjk_dictionary_set() lies.
constexpr char16_t kFirstRemembered = 0x3000;
constexpr std::size_t kRemembered = 0xA000 - kFirstRemembered;

UBool is_dictionary(void*, const char*, const char*, const UDataInfo* info) {
    return info->size >= sizeof(UDataInfo) && info->isBigEndian == U_IS_BIG_ENDIAN &&
           info->charsetFamily == U_CHARSET_FAMILY && info->sizeofUChar == 2 &&
           std::memcmp(info->dataFormat, "Dict", 4) == 0 && info->formatVersion[0] == 1;
}

struct DataClose {
    void operator()(UDataMemory* data) const { udata_close(data); }
};

class Dictionary {
public:
    // The process's dictionary, opened on first use; nullptr when ICU has
    // none of the form read here.
    static const Dictionary* get() {
        static const std::unique_ptr<const Dictionary> dictionary = open();
        return dictionary.get();
    }

    const char16_t* trie() const { return trie_; }

    // trie := the state after the first character c (in the remembered
    // range) from the root; the result of that step.
    UStringTrieResult first(icu::UCharsTrie& trie, char16_t c) const {
        const std::size_t at = static_cast<std::size_t>(c - kFirstRemembered);
        switch (known_[at].load(std::memory_order_acquire)) {
            case kMatched:
                trie.resetToState64(states_[at].load(std::memory_order_relaxed));
                return trie.current();
            case kNoMatch:
                return USTRINGTRIE_NO_MATCH;
            default:
                break;
        }
        // Two threads may both look a character up; they store the same.
        const UStringTrieResult result = trie.first(c);
        if (result == USTRINGTRIE_NO_MATCH) {
            known_[at].store(kNoMatch, std::memory_order_release);
        } else {
            states_[at].store(trie.getState64(), std::memory_order_relaxed);
            known_[at].store(kMatched, std::memory_order_release);
        }
        return result;
    }

private:
    static constexpr std::uint8_t kMatched = 1;
    static constexpr std::uint8_t kNoMatch = 2;

    static std::unique_ptr<const Dictionary> open() {
        UErrorCode code = U_ZERO_ERROR;
        std::unique_ptr<UDataMemory, DataClose> data(
            udata_openChoice(U_ICUDATA_NAME U_TREE_SEPARATOR_STRING "brkitr", "dict", "cjdict",
                             is_dictionary, nullptr, &code));
        if (U_FAILURE(code) || data == nullptr) return nullptr;
        const auto* numbers = static_cast<const int32_t*>(udata_getMemory(data.get()));
        if (numbers == nullptr) return nullptr;
        const int32_t offset = numbers[kTrieOffset];
        if (offset < static_cast<int32_t>(kHeaderNumbers * sizeof(int32_t)) || offset % 2 != 0 ||
            numbers[kTotalSize] <= offset || numbers[kTrieType] != kUnitTrieWithValues ||
            numbers[kTransform] != 0) {
            return nullptr;
        }
        const auto* trie =
            reinterpret_cast<const char16_t*>(reinterpret_cast<const char*>(numbers) + offset);
        return std::unique_ptr<const Dictionary>(new Dictionary(std::move(data), trie));
    }

    Dictionary(std::unique_ptr<UDataMemory, DataClose> data, const char16_t* trie)
        : data_(std::move(data)),
          trie_(trie),
          states_(new std::atomic<std::uint64_t>[kRemembered]()),
          known_(new std::atomic<std::uint8_t>[kRemembered]()) {}

    std::unique_ptr<UDataMemory, DataClose> data_;
    const char16_t* trie_;
    // The trie's state after each first character, once known_ says so.
    std::unique_ptr<std::atomic<std::uint64_t>[]> states_;
    std::unique_ptr<std::atomic<std::uint8_t>[]> known_;
};

}  // namespace

bool cut_by_cjk_dictionary(std::u16string_view run, std::vector<std::uint32_t>& ends) {
    ends.clear();
    const Dictionary* dictionary = Dictionary::get();
    if (dictionary == nullptr) return false;
    const std::size_t n = run.size();
    if (n == 0) return true;
    // cost[i]: the cheapest cut of the first i units; from[i]: where the
    // last word of that cut starts. Every unit is a character, and every
    // character a word at worst, so every place is reached.
    thread_local std::vector<std::uint32_t> cost;
    thread_local std::vector<std::uint32_t> from;
    cost.assign(n + 1, UINT32_MAX);
    from.assign(n + 1, 0);
    cost[0] = 0;
    icu::UCharsTrie trie(dictionary->trie());
    for (std::size_t i = 0; i < n; ++i) {
        if (!in_cjk_dictionary_set(run[i])) return false;
        const auto offer = [&](std::size_t end, std::uint32_t weight) {
            const std::uint32_t c = cost[i] + weight;
            if (c < cost[end]) {
                cost[end] = c;
                from[end] = static_cast<std::uint32_t>(i);
            }
        };
        UStringTrieResult result = dictionary->first(trie, run[i]);
        offer(i + 1, USTRINGTRIE_HAS_VALUE(result) ? static_cast<std::uint32_t>(trie.getValue())
                                                   : kUnknownCharacter);
        const std::size_t last = std::min(n, i + kLongestWord);
        for (std::size_t k = i + 1; k < last && USTRINGTRIE_HAS_NEXT(result); ++k) {
            result = trie.next(run[k]);
            if (USTRINGTRIE_HAS_VALUE(result)) {
                offer(k + 1, static_cast<std::uint32_t>(trie.getValue()));
            }
        }
    }
    for (std::size_t end = n; end > 0; end = from[end])
        ends.push_back(static_cast<std::uint32_t>(end));
    std::reverse(ends.begin(), ends.end());
    return true;
}

}  // namespace brennic
