// Makes a manual page from its Markdown source:  make_manpage SOURCE.md OUTPUT.1 VERSION
// The source keeps to a small part of Markdown: a title line "# name(section) -- what it
// is", "## " headings, paragraphs, "- " lists, fenced code, **bold**, *italic* and
// `code`.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Roff reads a backslash as an escape and a line starting with a dot or an apostrophe
// as a request; text keeps neither meaning.
std::string EscapedChar(char c) {
    if (c == '\\') return "\\e";
    if (c == '-') return "\\-";
    return std::string(1, c);
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) out += EscapedChar(c);
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
    return out;
}

// Inline marks become font changes: **bold** and `code` bold, *italic* italic.
std::string Inline(const std::string& text) {
    std::string out;
    bool bold = false, italic = false, code = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "**") == 0 && !code) {
            out += bold ? "\\fR" : "\\fB";
            bold = !bold;
            ++i;
        } else if (text[i] == '`') {
            out += code ? "\\fR" : "\\fB";
            code = !code;
        } else if (text[i] == '*' && !code) {
            out += italic ? "\\fR" : "\\fI";
            italic = !italic;
        } else {
            out += EscapedChar(text[i]);
        }
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s SOURCE.md OUTPUT.1 VERSION\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::ostringstream out;
    bool code = false;
    bool paragraph = false;
    for (const std::string& line : lines) {
        if (line.rfind("```", 0) == 0) {
            out << (code ? ".fi\n.RE\n" : ".RS 4\n.nf\n");
            code = !code;
            continue;
        }
        if (code) {
            out << Escaped(line) << "\n";
            continue;
        }
        if (line.rfind("# ", 0) == 0) {
            // "# name(section) -- what it is"
            std::string title = line.substr(2);
            size_t open = title.find('('), close = title.find(')'), dash = title.find(" -- ");
            std::string name = title.substr(0, open);
            std::string section = title.substr(open + 1, close - open - 1);
            std::string upper;
            for (char c : name) upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
            out << ".TH " << upper << " " << section << " \"\" \"VERDO " << argv[3] << "\" \"User Commands\"\n";
            out << ".SH NAME\n" << Escaped(name) << " \\- " << Escaped(title.substr(dash + 4)) << "\n";
            paragraph = false;
        } else if (line.rfind("## ", 0) == 0) {
            out << ".SH " << Escaped(line.substr(3)) << "\n";
            paragraph = false;
        } else if (line.rfind("- ", 0) == 0) {
            out << ".IP \\(bu 2\n" << Inline(line.substr(2)) << "\n";
            paragraph = true;
        } else if (line.empty()) {
            paragraph = false;
        } else {
            if (!paragraph) out << ".PP\n";
            std::string text = line;
            while (!text.empty() && text.front() == ' ') text.erase(0, 1);
            out << Inline(text) << "\n";
            paragraph = true;
        }
    }
    std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
    file << out.str();
    return file ? 0 : 1;
}
