#include "data/failure_list.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <stdexcept>

#include "text/text.h"

namespace rel {

namespace {

// Source texts every file repeats: stored once at the start of the block.
constexpr std::string_view kBrakText = "Брак";
constexpr std::string_view kDrugieText = "Другие";

template <typename T>
void PermuteVector(std::vector<T>& v, const std::vector<std::uint32_t>& order) {
    std::vector<T> out;
    out.reserve(order.size());
    for (std::uint32_t i : order) out.push_back(v[i]);
    v = std::move(out);
}

}  // namespace

FailureList::FailureList(std::initializer_list<Problems> failures) { *this = failures; }

FailureList& FailureList::operator=(std::initializer_list<Problems> failures) {
    clear();
    for (const Problems& p : failures) push_back(p);
    return *this;
}

FailureList::Span FailureList::Store(std::string_view text) {
    if (texts_.empty()) {
        texts_.append(kBrakText);
        texts_.append(kDrugieText);
    }
    const std::size_t from = texts_.size();
    texts_.append(text);
    return Stored(from);
}

FailureList::Span FailureList::Stored(std::size_t from) {
    const std::string_view text = std::string_view(texts_).substr(from);
    Span s{static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(text.size())};
    if (text.empty() || text == kBrakText || text == kDrugieText) {
        if (text.empty())
            s = {};
        else if (text == kBrakText)
            s = {0, static_cast<std::uint32_t>(kBrakText.size())};
        else
            s = {static_cast<std::uint32_t>(kBrakText.size()), static_cast<std::uint32_t>(kDrugieText.size())};
        texts_.resize(from);
        return s;
    }
    // The block is addressed by 32-bit offsets; a data file is at most 256 MB.
    if (texts_.size() > UINT32_MAX) {
        texts_.resize(from);
        throw std::length_error("failure texts beyond 4 GB");
    }
    return s;
}

FailureList::TextSpan FailureList::StoreText(std::string_view utf8) { return Store(utf8); }

FailureList::TextSpan FailureList::StoreCp1251Text(std::string_view bytes) {
    if (texts_.empty()) {
        texts_.append(kBrakText);
        texts_.append(kDrugieText);
    }
    const std::size_t from = texts_.size();
    AppendCp1251AsUtf8(texts_, bytes);
    return Stored(from);
}

void FailureList::Append(double time, int chey, std::string_view pri, std::string_view komment) {
    times_.push_back(time);
    cause_.push_back(static_cast<std::uint8_t>(chey));
    const Span p = Store(pri);
    texts_of_.push_back({p, Store(komment)});
}

void FailureList::reserve(std::size_t n, std::size_t textBytes) {
    times_.reserve(n);
    cause_.reserve(n);
    texts_of_.reserve(n);
    texts_.reserve(textBytes + kBrakText.size() + kDrugieText.size());
}

void FailureList::clear() {
    times_.clear();
    cause_.clear();
    texts_of_.clear();
    texts_.clear();
}

void FailureList::resize(std::size_t n) {
    times_.resize(n, 0.0);
    cause_.resize(n, 0);
    texts_of_.resize(n);
}

void FailureList::Permute(const std::vector<std::uint32_t>& order) {
    PermuteVector(times_, order);
    PermuteVector(cause_, order);
    PermuteVector(texts_of_, order);
}

namespace {

// A time as an unsigned number in the same order as the times (-0 as 0).
std::uint64_t TimeKey(double t) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(t == 0.0 ? 0.0 : t);
    return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
}

}  // namespace

void FailureList::SortByTime() {
    const std::size_t n = size();
    bool sorted = true, nan = false;
    std::uint64_t lo = UINT64_MAX, hi = 0;
    for (std::size_t i = 0; i < n; ++i) {
        nan = nan || std::isnan(times_[i]);
        if (i > 0 && times_[i] < times_[i - 1]) sorted = false;
        const std::uint64_t k = TimeKey(times_[i]);
        lo = std::min(lo, k);
        hi = std::max(hi, k);
    }
    if (nan) {
        // No order among NaNs: the merge sort keeps the list's order around them.
        std::vector<std::uint32_t> order(n);
        for (std::size_t i = 0; i < n; ++i) order[i] = static_cast<std::uint32_t>(i);
        std::stable_sort(order.begin(), order.end(),
                         [this](std::uint32_t a, std::uint32_t b) { return times_[a] < times_[b]; });
        Permute(order);
        return;
    }
    if (sorted) return;  // a file written in time order: nothing moves

    // (time, place) pairs, sorted once: first counted out into groups by the leading
    // bits of their times, in list order, then each group sorted by time and place.
    // A slot holds a pair, and after the sort the two texts of its failure.
    struct Slot {
        std::uint64_t a;     // the time's bits; then the source text's span
        std::uint32_t b, c;  // the place in the list; then the description's span
    };
    const int groupBits = std::clamp(static_cast<int>(std::bit_width(n)) - 2, 1, 16);
    const int top = 63 - std::countl_zero(lo ^ hi);  // the leading bit where the times differ
    const int shift = std::max(0, top + 1 - groupBits);
    const std::uint64_t first = lo >> shift;
    std::vector<std::uint32_t> at(static_cast<std::size_t>((hi >> shift) - first) + 2, 0);
    for (double t : times_) ++at[static_cast<std::size_t>((TimeKey(t) >> shift) - first) + 1];
    for (std::size_t g = 1; g < at.size(); ++g) at[g] += at[g - 1];
    const std::unique_ptr<Slot[]> slots(new Slot[n]);  // every slot is written below
    for (std::size_t i = 0; i < n; ++i) {
        std::uint32_t& place = at[static_cast<std::size_t>((TimeKey(times_[i]) >> shift) - first)];
        slots[place++] = {std::bit_cast<std::uint64_t>(times_[i]), static_cast<std::uint32_t>(i), 0};
    }
    // Each group sorted on its own. Its times share their leading bits: the rest of a
    // time's key and the pair's rank in the group (ranks follow the list's order) make
    // one number when both fit in 64 bits, and the group sorts as plain numbers.
    auto before = [](const Slot& x, const Slot& y) {
        const double tx = std::bit_cast<double>(x.a), ty = std::bit_cast<double>(y.a);
        return tx < ty || (tx == ty && x.b < y.b);
    };
    const std::uint64_t rest = (std::uint64_t{1} << shift) - 1;
    std::vector<std::uint64_t> packed;
    std::vector<Slot> group;
    // at[g] is now where group g ends.
    for (std::size_t g = 0, begin = 0; g + 1 < at.size(); begin = at[g++]) {
        const std::size_t count = at[g] - begin;
        if (count < 2) continue;
        Slot* const from = slots.get() + begin;
        const int rankBits = static_cast<int>(std::bit_width(count - 1));
        if (shift + rankBits > 64) {
            std::sort(from, from + count, before);
            continue;
        }
        packed.resize(count);
        for (std::size_t r = 0; r < count; ++r)
            packed[r] = (TimeKey(std::bit_cast<double>(from[r].a)) & rest) << rankBits | r;
        std::sort(packed.begin(), packed.end());
        group.assign(from, from + count);
        const std::uint64_t rank = (std::uint64_t{1} << rankBits) - 1;
        for (std::size_t r = 0; r < count; ++r) from[r] = group[packed[r] & rank];
    }

    std::vector<std::uint8_t> cause(n);
    for (std::size_t k = 0; k < n; ++k) {
        const std::uint32_t from = slots[k].b;
        times_[k] = std::bit_cast<double>(slots[k].a);
        cause[k] = cause_[from];
        const Texts& t = texts_of_[from];
        slots[k] = {t.pri.at | std::uint64_t{t.pri.len} << 32, t.komment.at, t.komment.len};
    }
    for (std::size_t k = 0; k < n; ++k)
        texts_of_[k] = {{static_cast<std::uint32_t>(slots[k].a), static_cast<std::uint32_t>(slots[k].a >> 32)},
                        {slots[k].b, slots[k].c}};
    cause_ = std::move(cause);
}

bool operator==(const FailureList& a, const FailureList& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const FailureRef x = a[i], y = b[i];
        if (x.time != y.time || x.chey != y.chey || x.Pri != y.Pri || x.komment != y.komment) return false;
    }
    return true;
}

}  // namespace rel
