// kvpack: builds, lists, extracts and checks Kestova data archives.
#include <cstdio>
#include <string>
#include <vector>

#include "archive_reader.h"
#include "archive_writer.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: kvpack pack OUT.dat DIR\n"
                 "       kvpack list ARCHIVE\n"
                 "       kvpack extract ARCHIVE DIR\n"
                 "       kvpack check ARCHIVE\n");
    return 2;
}

// A name as one line of the listing: control bytes and the backslash are
// escaped, so a tab or a newline in a stored name cannot split a column or
// fake an entry.
std::string escapeName(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char hex[5];
                    std::snprintf(hex, sizeof hex, "\\x%02X", c);
                    out += hex;
                } else {
                    out += char(c);
                }
        }
    }
    return out;
}

int fail(const std::string& error) {
    std::fprintf(stderr, "kvpack: %s\n", error.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string command = argv[1];
    std::string error;
    if (command == "pack" && argc == 4) {
        if (!kv_archive::packDirectory(argv[2], argv[3], error)) return fail(error);
        return 0;
    }
    if (command == "list" && argc == 3) {
        std::vector<kv_archive::Entry> entries;
        if (!kv_archive::readArchive(argv[2], entries, error)) return fail(error);
        for (const kv_archive::Entry& entry : entries) {
            std::printf("%s\t%d\t%d\n", escapeName(entry.name).c_str(), entry.offset, entry.size);
        }
        return 0;
    }
    if (command == "extract" && argc == 4) {
        if (!kv_archive::extractArchive(argv[2], argv[3], error)) return fail(error);
        return 0;
    }
    if (command == "check" && argc == 3) {
        size_t count = 0;
        if (!kv_archive::checkArchive(argv[2], count, error)) return fail(error);
        std::printf("%s: %zu entries, all readable\n", argv[2], count);
        return 0;
    }
    return usage();
}
