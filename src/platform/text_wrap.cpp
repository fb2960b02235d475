#include "platform/text_wrap.h"

namespace platform {

namespace {

void wrapLine(const std::string& line, size_t columns, std::string& out) {
    size_t start = 0;
    while (line.size() - start > columns) {
        size_t cut = line.rfind(' ', start + columns);
        if (cut == std::string::npos || cut <= start) {
            // One word longer than a line: cut it where the line ends.
            out.append(line, start, columns);
            out += '\n';
            start += columns;
            continue;
        }
        out.append(line, start, cut - start);
        out += '\n';
        start = cut + 1;
    }
    out.append(line, start, std::string::npos);
}

}  // namespace

std::string wrapText(const std::string& text, size_t columns) {
    if (columns == 0) return text;
    std::string out;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        wrapLine(text.substr(start, end == std::string::npos ? std::string::npos : end - start),
                 columns, out);
        if (end == std::string::npos) return out;
        out += '\n';
        start = end + 1;
    }
}

}  // namespace platform
