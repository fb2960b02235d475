#include "options.h"

#include <cerrno>
#include <cstdlib>

#include "game/computer_strength.h"

const char* const kTournamentUsage =
    "usage: kestova-tournament [--matches N] [--days D] [--palms P] [--seed S] [--pair A,B]...\n";

namespace {

bool number(const char* text, long long low, long long high, long long& out) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtoll(text, &end, 10);
    return errno == 0 && *end == '\0' && out >= low && out <= high;
}

bool strengthPair(const std::string& text, std::pair<int32_t, int32_t>& out) {
    if (text.size() != 3 || text[1] != ',') return false;
    const int32_t a = text[0] - '0';
    const int32_t b = text[2] - '0';
    const auto valid = [](int32_t s) { return s >= kWeakestStrength && s <= kStrongestStrength; };
    if (!valid(a) || !valid(b) || a == b) return false;
    out = {a, b};
    return true;
}

}  // namespace

bool parseOptions(int argc, char** argv, TournamentOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help") {
            options.help = true;
            continue;
        }
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long long n = 0;
        if (option == "--matches" || option == "--days" || option == "--palms") {
            const long long high = option == "--palms" ? 10 : 100000;
            if (!number(value, 1, high, n)) {
                error = option + " takes a whole number from 1 to " + std::to_string(high);
                return false;
            }
            (option == "--matches" ? options.matches
             : option == "--days"  ? options.warDays
                                   : options.palmTrees) = int32_t(n);
        } else if (option == "--seed") {
            if (!number(value, 0, 0x7FFFFFFFFFFFFFFFll, n)) {
                error = "--seed takes a whole number of at least 0";
                return false;
            }
            options.seed = uint64_t(n);
        } else if (option == "--pair") {
            std::pair<int32_t, int32_t> pair;
            if (value == nullptr || !strengthPair(value, pair)) {
                error = "--pair takes two different strengths from 1 to 5, as in 4,3";
                return false;
            }
            options.pairs.push_back(pair);
        } else {
            error = "unknown option " + option;
            return false;
        }
        ++i;
    }
    if (options.pairs.empty()) {
        for (int32_t a = kWeakestStrength + 1; a <= kStrongestStrength; ++a) {
            for (int32_t b = a - 1; b >= kWeakestStrength; --b) options.pairs.push_back({a, b});
        }
    }
    return true;
}
