// Build tool: writes the Russian → English phrase pairs of one context of a Qt
// translation file as C++ initialisers, so that relan-cli words the core's messages
// in English from the same vocabulary as the window, without the toolkit.
// Usage: ts_phrases FILE.ts CONTEXT[,CONTEXT...] OUT.inc
// Texts with placeholders (%1) are left out: they are not phrases to replace.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Unescape(std::string s) {
    const std::pair<const char*, const char*> entities[] = {{"&quot;", "\""}, {"&apos;", "'"}, {"&lt;", "<"},
                                                            {"&gt;", ">"},    {"&#xa;", "\n"}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities)
        for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1))
            s.replace(at, std::char_traits<char>::length(from), to);
    return s;
}

// The text between <tag...> and </tag> from `from`, or nothing.
bool Element(const std::string& xml, const std::string& tag, std::size_t from, std::size_t to, std::string& text) {
    const std::size_t open = xml.find("<" + tag, from);
    if (open == std::string::npos || open >= to) return false;
    const std::size_t start = xml.find('>', open);
    if (start == std::string::npos || xml[start - 1] == '/') return false;  // <translation/>
    const std::size_t end = xml.find("</" + tag + ">", start);
    if (end == std::string::npos || end > to) return false;
    text = xml.substr(start + 1, end - start - 1);
    return true;
}

std::string Literal(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\')
            out += '\\', out += static_cast<char>(c);
        else if (c == '\n')
            out += "\\n";
        else
            out += static_cast<char>(c);
    }
    return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: ts_phrases FILE.ts CONTEXT OUT.inc\n");
        return 1;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string xml = ss.str();
    std::ofstream out(argv[3], std::ios::binary);
    out << "// Generated from " << argv[1] << " (contexts " << argv[2] << "); do not edit.\n";
    std::stringstream contexts(argv[2]);
    for (std::string context; std::getline(contexts, context, ',');) {
        const std::string name = "<name>" + context + "</name>";
        const std::size_t ctx = xml.find(name);
        const std::size_t ctxEnd = ctx == std::string::npos ? ctx : xml.find("</context>", ctx);
        for (std::size_t at = ctx; at != std::string::npos && at < ctxEnd;) {
            const std::size_t m = xml.find("<message", at);
            if (m == std::string::npos || m >= ctxEnd) break;
            const std::size_t mEnd = xml.find("</message>", m);
            std::string src, tr;
            const std::size_t trOpen = xml.find("<translation", m);
            const bool done = trOpen < mEnd && xml.compare(trOpen, 40, "<translation type=\"unfinished\"") != 0 &&
                              xml.find("type=\"vanished\"", trOpen) != trOpen + 13 &&
                              xml.find("type=\"obsolete\"", trOpen) != trOpen + 13;
            if (done && Element(xml, "source", m, mEnd, src) && Element(xml, "translation", m, mEnd, tr) &&
                src.find("%1") == std::string::npos)
                out << "{" << Literal(Unescape(src)) << ", " << Literal(Unescape(tr)) << "},\n";
            at = mEnd;
        }
    }
    return out ? 0 : 1;
}
