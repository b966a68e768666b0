// Generated failure data files for the benchmarks and the large-file measurements.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace relbench {

// UTF-8 Cyrillic and ASCII text to Windows-1251.
inline std::string ToCp1251(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        const unsigned cp = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
        i += 2;
        if (cp >= 0x410 && cp <= 0x44F)
            out.push_back(static_cast<char>(0xC0 + (cp - 0x410)));
        else if (cp == 0x401)
            out.push_back(static_cast<char>(0xA8));
        else if (cp == 0x451)
            out.push_back(static_cast<char>(0xB8));
        else
            out.push_back('?');
    }
    return out;
}

// A data file (Windows-1251, CR LF) of a fleet of `fleet` products with `rows`
// failure rows along a Weibull law, one reject every 500 rows.
inline std::string FleetFile(int rows, int fleet) {
    {
        const char* causes[] = {"Двигатель",         "Электрика",   "Гидравлика",
                                "Топливная система", "Трансмиссия", "Кузов"};
        const char* sources[] = {
            "Двигатель стартера",     "электрика фар", "ГИДРАВЛИКА насоса",    "Топливная система, форсунка",
            "трансмиссия: сцепление", "Кузов, дверь",  "Фары головного света", "Замок двери"};
        const char* notes[] = {"заклинил", "обрыв провода", "течь", "засорение фильтра", "износ"};
        std::string s = "Парк для замера скорости\r\n2500\r\n550\r\n" + std::to_string(fleet) + "\r\n" +
                        std::to_string(rows) + "\r\n1\r\n";
        for (const char* c : causes) s += std::string(c) + "\r\n";
        std::uint64_t x = 88172645463325252ULL;
        auto next = [&x] {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            return static_cast<double>(x >> 11) / 9007199254740992.0;
        };
        for (int i = 0; i < rows; ++i) {
            const double u = next();
            const double t = i % 500 == 0 ? 0.0 : 3000.0 * std::pow(-std::log(1.0 - u), 1.0 / 1.3);
            std::string time = std::to_string(std::round(t * 10) / 10);
            time.resize(time.find('.') + 2);
            if (i % 4 == 0) time[time.find('.')] = ',';
            s += time + "\t" + sources[i % 8];
            if (i % 3 != 0) s += std::string(" * ") + notes[i % 5];
            s += "\r\n";
        }
        return ToCp1251(s);
    }
}

}  // namespace relbench
