#include "data/input_text.h"

#include "text/text.h"

namespace rel {

namespace {

std::string Quoted(std::string_view s) { return "«" + std::string(s) + "»"; }

// Two hexadecimal digits of a byte.
std::string Hex2(unsigned char value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    return {kHex[value >> 4], kHex[value & 0xF]};
}

std::string LineNo(std::size_t line) { return std::to_string(line); }

}  // namespace

std::string QuotedExcerpt(std::string_view text) { return Quoted(EscapeControls(Excerpt(text))); }

namespace {

InputText Opened(DecodedText d, std::string_view bytes, const std::string& path) {
    InputText r;
    r.encoding = d.encoding;
    const std::string enc = EncodingName(d.encoding);
    switch (d.problem) {
        case DecodeProblem::None:
            r.ok = true;
            r.text = std::move(d.text);
            r.inPlace = d.inPlace;
            r.skip = d.byteOrderMark && d.inPlace ? 3 : 0;
            return r;
        case DecodeProblem::BadUtf8:
            r.error =
                "Ошибка в строке №" + LineNo(d.line) + " файла " + Quoted(path) + ": байт 0x" + Hex2(d.badByte) +
                " (смещение " + std::to_string(d.offset) +
                " от начала файла) не является частью символа UTF-8, а файл " +
                (d.byteOrderMark ? "помечен как UTF-8 (метка BOM)" : "записан в UTF-8") +
                (d.badBytes > 1 ? "; всего таких байтов: " + std::to_string(d.badBytes) + ". Исправьте эти байты"
                                : std::string(". Исправьте этот байт")) +
                " или сохраните весь файл в одной кодировке: UTF-8 или Windows-1251.";
            return r;
        case DecodeProblem::Mixed:
            r.error = "Файл " + Quoted(path) + " записан в двух кодировках: до строки №" + LineNo(d.line) + " — " +
                      EncodingName(d.before) + ", с нее — " + EncodingName(d.after) +
                      ". Сохраните весь файл в одной кодировке: UTF-8 или Windows-1251.";
            return r;
        case DecodeProblem::BadUnits:
            r.error = "Ошибка в строке №" + LineNo(d.line) + " файла " + Quoted(path) + ": файл в кодировке " +
                      enc + ", но байты со смещения " + std::to_string(d.offset) +
                      " от начала файла не образуют символа (половина суррогатной пары без второй или код "
                      "больше U+10FFFF).";
            return r;
        case DecodeProblem::TruncatedUnits: {
            const int unit = d.encoding == TextEncoding::Utf16LE || d.encoding == TextEncoding::Utf16BE ? 2 : 4;
            r.error = "Файл " + Quoted(path) + " в кодировке " + enc + " обрывается посреди символа (строка №" +
                      LineNo(d.line) + "): длина файла " + std::to_string(bytes.size()) + " байт не кратна " +
                      std::to_string(unit) + ".";
            return r;
        }
    }
    return r;
}

}  // namespace

InputText DecodeInputFile(std::string_view bytes, const std::string& path) {
    return Opened(DecodeInputBytes(bytes), bytes, path);
}

InputText OpenInputFile(std::string_view bytes, const std::string& path) {
    return Opened(DecideInputBytes(bytes), bytes, path);
}

bool IsBlankLine(std::string_view line) { return TrimBlanks(line).empty(); }

bool HasControlChar(std::string_view field) {
    for (std::size_t i = 0; i < field.size(); ++i)
        if (ControlCharAt(field, i)) return true;
    return false;
}

std::optional<std::string> ControlCharInNumberLine(std::string_view line, std::size_t lineIndex,
                                                   const std::string& path, const char* what) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::size_t n = ControlCharAt(line, i);
        if (n == 0 || (n == 1 && line[i] == '\t')) continue;
        const unsigned char c = static_cast<unsigned char>(line[i + n - 1]);
        const std::string code = n == 1 ? "0x" + Hex2(c) : "U+00" + Hex2(c);
        std::string msg = "Ошибка в строке №" + LineNo(lineIndex + 1) + " файла " + Quoted(path) + ": " +
                          QuotedExcerpt(TrimBlanks(line)) + " содержит управляющий символ с кодом " + code + " (" +
                          what + ").";
        if (n == 1 && c == '\r')
            msg +=
                " Строки файла кончаются по-разному (CR в одних, LF в других): сохраните его с одинаковыми "
                "концами строк, CR LF или LF.";
        return msg;
    }
    return std::nullopt;
}

}  // namespace rel
