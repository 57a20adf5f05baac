// SPDX-License-Identifier: MIT
#include "brennic/text_model.h"

namespace brennic {

void SentenceList::end_sentence() {
    const std::size_t n = content_.size() - content_ended_;
    block_sentence s;
    if (n < kLongCount) {
        s.content_count = static_cast<std::uint32_t>(n);
    } else {
        s.content_count = kLongCount;
        long_counts_.push_back(n);
    }
    records_.push_back(s);
    content_ended_ = content_.size();
}

void SentenceList::add_texts(std::string texts, Reading reading) {
    if (records_.size() > records_read_) {
        readings_.reserve(texts_.size() + 1);  // so the push after the text's cannot fail
        texts_.push_back(std::move(texts));
        readings_.push_back(reading);
    }
    records_read_ = records_.size();
    content_read_ = content_.size();
    long_counts_read_ = long_counts_.size();
}

void SentenceList::drop_unfinished() {
    records_.resize(records_read_);
    content_.resize(content_read_);
    long_counts_.resize(long_counts_read_);
    content_ended_ = content_read_;
}

void SentenceList::clear() {
    std::vector<std::string>().swap(texts_);
    std::vector<Reading>().swap(readings_);
    FlatArray<block_sentence>().swap(records_);
    FlatArray<WordId>().swap(content_);
    std::vector<std::uint64_t>().swap(long_counts_);
    records_read_ = content_read_ = long_counts_read_ = content_ended_ = 0;
    condensed_ = false;
}

}  // namespace brennic
