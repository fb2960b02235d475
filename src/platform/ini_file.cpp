#include "platform/ini_file.h"

#include <ini.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

// Feeds inih one line at a time, counting them, and notes the lines that
// gave no entry although they should have.
struct LineReader {
    std::FILE* file = nullptr;
    IniContents* contents = nullptr;
    int line = 0;
    bool wantsEntry = false;  // the current line is neither blank, comment nor section
    bool gaveEntry = false;
    std::string text;

    void closeLine() {
        if (line > 0 && wantsEntry && !gaveEntry) contents->badLines.push_back(line);
    }
};

bool isBlankOrComment(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    return first == std::string::npos || text[first] == ';' || text[first] == '#';
}

bool isSection(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    return first != std::string::npos && text[first] == '[' &&
           text.find(']', first) != std::string::npos;
}

char* readLine(char* buffer, int size, void* stream) {
    auto* reader = static_cast<LineReader*>(stream);
    reader->closeLine();
    reader->text.clear();
    int c = 0;
    while ((c = std::fgetc(reader->file)) != EOF && c != '\n') reader->text += char(c);
    if (c == EOF && reader->text.empty()) return nullptr;
    ++reader->line;
    reader->gaveEntry = false;
    reader->wantsEntry = !isBlankOrComment(reader->text) && !isSection(reader->text);
    // Too long for the parser: read as a blank line, reported as bad.
    if (reader->text.size() + 2 > size_t(size)) reader->text.clear();
    std::memcpy(buffer, reader->text.c_str(), reader->text.size());
    buffer[reader->text.size()] = '\n';
    buffer[reader->text.size() + 1] = '\0';
    return buffer;
}

int onEntry(void* user, const char* section, const char* key, const char* value) {
    auto* reader = static_cast<LineReader*>(user);
    reader->gaveEntry = true;
    reader->contents->entries.push_back({section, key, value, reader->line});
    return 1;
}

}  // namespace

IniRead readIniFile(const std::string& path, IniContents& contents, std::string& error) {
    contents = IniContents();
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        if (errno == ENOENT) return IniRead::Missing;
        error = std::strerror(errno);
        return IniRead::Unreadable;
    }
    LineReader reader;
    reader.file = file;
    reader.contents = &contents;
    const int firstError = ini_parse_stream(readLine, &reader, onEntry, &reader);
    reader.closeLine();
    std::fclose(file);
    // A section line the parser refused.
    if (firstError > 0 && std::find(contents.badLines.begin(), contents.badLines.end(),
                                    firstError) == contents.badLines.end()) {
        contents.badLines.push_back(firstError);
        std::sort(contents.badLines.begin(), contents.badLines.end());
    }
    return IniRead::Ok;
}

}  // namespace platform
