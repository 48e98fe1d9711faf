#include "cli/HelpText.h"

#include <sstream>

namespace {
// Where the wrapped text of a line starts: after its leading blanks and, for "  name   text",
// after the name and the blanks behind it.
size_t TextColumn(const std::string& line) {
    const size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) return 0;
    const size_t gap = line.find("  ", first);
    if (gap == std::string::npos) return first;
    const size_t text = line.find_first_not_of(' ', gap);
    return text == std::string::npos ? first : text;
}

void AppendWrapped(std::string& out, const std::string& line, size_t columns) {
    const size_t indent = TextColumn(line);
    if (line.size() <= columns || indent + 20 > columns) {
        out += line + '\n';
        return;
    }
    std::string rest = line;
    while (rest.size() > columns) {
        size_t cut = rest.rfind(' ', columns);
        if (cut == std::string::npos || cut <= indent) cut = rest.find(' ', columns);
        if (cut == std::string::npos) break;
        out += rest.substr(0, cut) + '\n';
        const size_t next = rest.find_first_not_of(' ', cut);
        rest = std::string(indent, ' ') + (next == std::string::npos ? "" : rest.substr(next));
    }
    out += rest + '\n';
}
}  // namespace

std::string WrapHelpText(const std::string& text, size_t columns) {
    std::string out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        AppendWrapped(out, line, columns);
    if (!text.empty() && text.back() != '\n' && !out.empty()) out.pop_back();
    return out;
}
