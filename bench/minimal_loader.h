// The yardstick of the failure data file's load: the least a reader must do to keep
// what the real load keeps of each failure row — its time, its text and the rows'
// order by time, equal times in file order. The whole file is read into memory; the
// lines before the first one with a tab (title, header numbers, cause names) are
// passed over; each row is cut at its line end and at its first tab, its time read
// (point or comma) and its text kept where it lies, as a span of the file; the rows
// are sorted by (time, place). No character sets, checks, causes, figures or
// messages: what the real load does beyond this is what its ratio to this measures.
#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace relbench {

struct MinimalLoad {
    std::unique_ptr<char[]> file;  // the file's bytes: the texts point into them
    std::size_t size = 0;
    std::vector<double> times;                                   // by time
    std::vector<std::pair<std::uint32_t, std::uint32_t>> texts;  // offset and length of each row's text
};

// Reads a data file into `out`; false when it cannot be read.
inline bool MinimalLoadFile(const std::string& path, MinimalLoad& out) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    out.size = static_cast<std::size_t>(in.tellg());
    in.seekg(0);
    out.file.reset(new char[out.size]);
    if (!in.read(out.file.get(), static_cast<std::streamsize>(out.size))) return false;
    const char* const text = out.file.get();

    struct Row {
        double time;
        std::uint32_t at, len, place;
    };
    std::vector<Row> rows;
    // Room for rows of eight bytes and more: what the rows never fill is never touched.
    rows.reserve(out.size / 8 + 16);
    bool header = true;
    for (std::size_t pos = 0; pos < out.size;) {
        const char* lf = static_cast<const char*>(std::memchr(text + pos, '\n', out.size - pos));
        std::size_t end = lf ? static_cast<std::size_t>(lf - text) : out.size;
        const std::size_t next = end + 1;
        if (end > pos && text[end - 1] == '\r') --end;
        const char* tab = static_cast<const char*>(std::memchr(text + pos, '\t', end - pos));
        if (tab) header = false;
        if (!header && tab) {
            std::array<char, 32> field{};
            const std::size_t n =
                std::min<std::size_t>(static_cast<std::size_t>(tab - (text + pos)), field.size());
            std::replace_copy(text + pos, text + pos + n, field.data(), ',', '.');
            double t = 0;
            std::from_chars(field.data(), field.data() + n, t);
            const auto at = static_cast<std::uint32_t>(tab + 1 - text);
            rows.push_back({t, at, static_cast<std::uint32_t>(end - at), static_cast<std::uint32_t>(rows.size())});
        }
        pos = next;
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.time < b.time || (a.time == b.time && a.place < b.place);
    });
    out.times.resize(rows.size());
    out.texts.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out.times[i] = rows[i].time;
        out.texts[i] = {rows[i].at, rows[i].len};
    }
    return true;
}

}  // namespace relbench
