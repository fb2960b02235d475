#pragma once
// Plays whole computer-against-computer matches in one program on the
// headless backend: the real menu starts each match, the real main-loop
// pass runs it, unpaced on the virtual clock.
#include <cstdint>
#include <memory>

class TForm1;
namespace platform {
class HeadlessSystem;
}

struct MatchSettings {
    int32_t warDays = 1;
    int32_t palmTrees = 3;
    int32_t frameLimit = 60000;  // a match still running then is left with Escape
};

struct MatchResult {
    int32_t points[2] = {0, 0};
    int32_t palms[2] = {0, 0};  // enemy palms each side destroyed
    int32_t frames = 0;
    bool cut = false;  // reached the frame limit
};

class MatchRunner {
  public:
    // Loads the asset set from Kestova.dat (current directory or beside the program).
    MatchRunner();
    ~MatchRunner();

    MatchResult play(uint64_t seed, const int32_t strength[2], const MatchSettings& settings);

  private:
    void frame();

    std::unique_ptr<platform::HeadlessSystem> system_;
    std::unique_ptr<TForm1> form_;
};
