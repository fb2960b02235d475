#include "golden_support/recording.h"

#include <fstream>
#include <sstream>

#include "services/key_names.h"

namespace golden {

int keyCodeOf(const std::string& name) {
    for (int code = 0; code < 256; ++code) {
        if (!name.empty() && keyName(code) == name) return code;
    }
    return -1;
}

bool readRecording(const std::string& path, Recording& out, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot be opened";
        return false;
    }
    out = Recording();
    std::string line;
    int number = 0;
    bool sawHeader = false;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string word;
        words >> word;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        if (!sawHeader) {
            int version = 0;
            if (word != "kestova-recording" || !(words >> version) || version != 1) {
                error = where + "not a version 1 recording";
                return false;
            }
            sawHeader = true;
        } else if (word == "kind") {
            words >> out.kind;
            if (out.kind != "match" && out.kind != "program") {
                error = where + "unknown kind '" + out.kind + "'";
                return false;
            }
        } else if (word == "seed") {
            if (!(words >> out.seed)) return error = where + "bad seed", false;
        } else if (word == "menu") {
            for (int& v : out.menu) {
                if (!(words >> v)) return error = where + "menu needs five numbers", false;
            }
        } else if (word == "reads") {
            if (!(words >> out.reads) || out.reads < 0)
                return error = where + "bad read count", false;
        } else {
            KeyChange change;
            std::string key;
            std::istringstream first(word);
            if (!(first >> change.read) || !(words >> key) || key.size() < 2 ||
                (key[0] != '+' && key[0] != '-')) {
                error = where + "expected '<read> +KEY' or '<read> -KEY'";
                return false;
            }
            change.down = key[0] == '+';
            change.code = keyCodeOf(key.substr(1));
            if (change.code < 0) return error = where + "unknown key " + key.substr(1), false;
            if (!out.changes.empty() && change.read < out.changes.back().read) {
                return error = where + "key changes out of order", false;
            }
            out.changes.push_back(change);
        }
    }
    if (!sawHeader) return error = path + ": empty recording", false;
    return true;
}

bool writeRecording(const std::string& path, const Recording& r, std::string& error) {
    std::ofstream out(path);
    if (!out) return error = path + ": cannot be written", false;
    out << "kestova-recording 1\n"
        << "kind " << r.kind << "\n"
        << "seed " << r.seed << "\n";
    if (r.kind == "match") {
        out << "# left computer, right computer, war days, palm trees, selected row\nmenu";
        for (int v : r.menu) out << " " << v;
        out << "\n";
    }
    out << "reads " << r.reads << "\n# read, key down (+) or up (-)\n";
    for (const KeyChange& c : r.changes) {
        out << c.read << " " << (c.down ? '+' : '-') << keyName(c.code) << "\n";
    }
    if (!out) return error = path + ": write failed", false;
    return true;
}

}  // namespace golden
