// The loaded failures, held compactly: a file of a million failure rows fits in
// a few tens of megabytes. Times and cause numbers are arrays of their own (the
// criteria run over the times alone); the source and description texts of all the
// failures share one block of characters, where a text the file repeats is kept once.
//
// The list is used like a vector of Problems: size(), operator[] and iteration give
// a FailureRef with the same field names (time, chey, Pri, komment; the texts as
// views into the list, valid until the list changes), push_back takes a Problems.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "data/records.h"

namespace rel {

// One failure of the list, read in place.
struct FailureRef {
    double time = 0.0;
    int chey = 0;
    std::string_view Pri;
    std::string_view komment;
};

class FailureList {
public:
    FailureList() = default;
    FailureList(std::initializer_list<Problems> failures);
    FailureList& operator=(std::initializer_list<Problems> failures);

    std::size_t size() const { return times_.size(); }
    bool empty() const { return times_.empty(); }
    FailureRef operator[](std::size_t i) const {
        return {times_[i], cause_[i], Text(texts_of_[i].pri), Text(texts_of_[i].komment)};
    }
    FailureRef back() const { return (*this)[size() - 1]; }

    // The operating times, in list order.
    const std::vector<double>& Times() const { return times_; }
    // The cause numbers, in list order.
    const std::vector<std::uint8_t>& Causes() const { return cause_; }

    void push_back(const Problems& p) { Append(p.time, p.chey, p.Pri, p.komment); }
    void Append(double time, int chey, std::string_view pri, std::string_view komment);
    void SetCause(std::size_t i, int chey) { cause_[i] = static_cast<std::uint8_t>(chey); }
    // Room for `n` failures and `textBytes` characters of their texts.
    void reserve(std::size_t n, std::size_t textBytes = 0);
    void clear();
    // Keeps the first `n` failures (a longer size adds failures at 0 h without texts).
    void resize(std::size_t n);
    // Reorders the failures: failure i of the result is failure order[i] of the list.
    void Permute(const std::vector<std::uint32_t>& order);
    // Sorts the failures by time, ascending; equal times keep their order.
    void SortByTime();

    // A text kept in the list's block, for a reader that stores a text once and gives
    // it to many failures (the texts a file repeats).
    struct TextSpan {
        std::uint32_t at = 0, len = 0;
    };
    // Stores a UTF-8 text.
    TextSpan StoreText(std::string_view utf8);
    // Stores a Windows-1251 text as UTF-8.
    TextSpan StoreCp1251Text(std::string_view bytes);
    // The text of a span of this list.
    std::string_view TextOf(TextSpan s) const { return Text(s); }
    void AppendStored(double time, int chey, TextSpan pri, TextSpan komment) {
        times_.push_back(time);
        cause_.push_back(static_cast<std::uint8_t>(chey));
        texts_of_.push_back({pri, komment});
    }

    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = FailureRef;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = FailureRef;
        const_iterator() = default;
        const_iterator(const FailureList* list, std::size_t i) : list_(list), i_(i) {}
        FailureRef operator*() const { return (*list_)[i_]; }
        const_iterator& operator++() {
            ++i_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator t = *this;
            ++i_;
            return t;
        }
        difference_type operator-(const const_iterator& o) const {
            return static_cast<difference_type>(i_) - static_cast<difference_type>(o.i_);
        }
        bool operator==(const const_iterator& o) const { return i_ == o.i_; }
        bool operator!=(const const_iterator& o) const { return i_ != o.i_; }

    private:
        const FailureList* list_ = nullptr;
        std::size_t i_ = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    friend bool operator==(const FailureList& a, const FailureList& b);

private:
    // A text of the block: where it starts and how long it is.
    using Span = TextSpan;
    std::string_view Text(Span s) const { return std::string_view(texts_).substr(s.at, s.len); }
    Span Store(std::string_view text);
    // The text appended to the block from `from` on, as a span (one the block keeps
    // already when it is a shared one).
    Span Stored(std::size_t from);

    std::vector<double> times_;
    std::vector<std::uint8_t> cause_;
    // A failure's two texts side by side: a reorder moves them as one.
    struct Texts {
        Span pri, komment;
    };
    std::vector<Texts> texts_of_;
    std::string texts_;
};

}  // namespace rel
