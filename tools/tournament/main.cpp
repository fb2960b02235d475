// kestova-tournament: seeded computer-against-computer matches between the
// computer's strengths, with the tally the strengths are tuned against.
#include <cstdio>
#include <map>
#include <string>

#include "game/computer_strength.h"
#include "match_runner.h"
#include "options.h"

namespace {

struct Tally {
    int32_t matches = 0, wins = 0, draws = 0, losses = 0, points = 0, palms = 0;
};

struct PairingTally {
    int32_t winsA = 0, winsB = 0, pointsA = 0, pointsB = 0, palmsA = 0, palmsB = 0, cut = 0;
};

double percent(int32_t part, int32_t whole) {
    return whole > 0 ? 100.0 * part / whole : 0.0;
}

void printGoals(const std::map<std::pair<int32_t, int32_t>, PairingTally>& pairings, int32_t n) {
    std::printf("\ngoals (%d matches per pairing):\n", n);
    for (const auto& [pair, t] : pairings) {
        if (pair.first == pair.second + 1 || (pair.first == 5 && pair.second == 1)) {
            const double need = pair.first == 5 && pair.second == 1 ? 95.0 : 65.0;
            const double won = percent(t.winsA, n);
            std::printf("  %d beats %d in %.1f %% (at least %.0f %%): %s\n", pair.first,
                        pair.second, won, need, won >= need ? "met" : "NOT MET");
        }
    }
    // Strength 1 and strength 3 against the same opponent.
    const auto pointsAgainst = [&](int32_t s, int32_t opponent, int32_t& out) {
        auto it = pairings.find({s, opponent});
        if (it != pairings.end()) return out = it->second.pointsA, true;
        it = pairings.find({opponent, s});
        if (it != pairings.end()) return out = it->second.pointsB, true;
        return false;
    };
    for (int32_t opponent = kWeakestStrength; opponent <= kStrongestStrength; ++opponent) {
        int32_t one = 0;
        int32_t three = 0;
        if (!pointsAgainst(1, opponent, one) || !pointsAgainst(3, opponent, three)) continue;
        std::printf("  against %d, strength 1 scores %d, strength 3 %d (at most half): %s\n",
                    opponent, one, three, 2 * one <= three ? "met" : "NOT MET");
    }
}

}  // namespace

int main(int argc, char** argv) {
    TournamentOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "kestova-tournament: %s\n%s", error.c_str(), kTournamentUsage);
        return 2;
    }
    if (options.help) {
        std::printf("%s", kTournamentUsage);
        return 0;
    }
    MatchSettings settings;
    settings.warDays = options.warDays;
    settings.palmTrees = options.palmTrees;
    std::printf(
        "%d matches per pairing, %d war day(s), %d palm trees, seeds %llu to %llu, "
        "the stronger side on the left in every other match\n\n",
        options.matches, options.warDays, options.palmTrees,
        static_cast<unsigned long long>(options.seed),
        static_cast<unsigned long long>(options.seed + uint64_t(options.matches) - 1));

    Tally tally[kStrongestStrength + 1];
    std::map<std::pair<int32_t, int32_t>, PairingTally> pairings;
    for (const auto& pair : options.pairs) {
        PairingTally& p = pairings[pair];
        for (int32_t m = 0; m < options.matches; ++m) {
            // Sides swap every other match, so each strength plays both sides.
            const int32_t aSide = m % 2;
            int32_t strength[2];
            strength[aSide] = pair.first;
            strength[1 - aSide] = pair.second;
            const MatchResult r = playMatch(options.seed + uint64_t(m), strength, settings);
            const int32_t pa = r.points[aSide], pb = r.points[1 - aSide];
            p.pointsA += pa;
            p.pointsB += pb;
            p.palmsA += r.palms[aSide];
            p.palmsB += r.palms[1 - aSide];
            p.winsA += pa > pb ? 1 : 0;
            p.winsB += pb > pa ? 1 : 0;
            p.cut += r.cut ? 1 : 0;
            for (const auto& [s, own, other, palms] :
                 {std::tuple{pair.first, pa, pb, r.palms[aSide]},
                  std::tuple{pair.second, pb, pa, r.palms[1 - aSide]}}) {
                Tally& t = tally[s];
                ++t.matches;
                t.wins += own > other ? 1 : 0;
                t.draws += own == other ? 1 : 0;
                t.losses += own < other ? 1 : 0;
                t.points += own;
                t.palms += palms;
            }
        }
        std::printf("strength %d vs strength %d: %d of %d won by %d\n", pair.first, pair.second,
                    p.winsA, options.matches, pair.first);
        std::fflush(stdout);
    }

    std::printf("\n%-9s %8s %6s %6s %7s %7s %6s\n", "strength", "matches", "wins", "draws",
                "losses", "points", "palms");
    for (int32_t s = kWeakestStrength; s <= kStrongestStrength; ++s) {
        const Tally& t = tally[s];
        if (t.matches == 0) continue;
        std::printf("%-9d %8d %6d %6d %7d %7d %6d\n", s, t.matches, t.wins, t.draws, t.losses,
                    t.points, t.palms);
    }
    std::printf("\n%-8s %6s %6s %6s %9s %9s %7s %7s %4s\n", "pairing", "wins A", "draws", "wins B",
                "points A", "points B", "palms A", "palms B", "cut");
    for (const auto& [pair, p] : pairings) {
        std::printf("%d vs %d   %6d %6d %6d %9d %9d %7d %7d %4d\n", pair.first, pair.second,
                    p.winsA, options.matches - p.winsA - p.winsB, p.winsB, p.pointsA, p.pointsB,
                    p.palmsA, p.palmsB, p.cut);
    }
    printGoals(pairings, options.matches);
    return 0;
}
