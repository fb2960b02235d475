#include "engine/directions.h"

#include <cmath>

namespace {
// The game's constants, stored as doubles and used in extended precision.
constexpr long double kQuarter = 1.5705;
constexpr long double kTurn = 6.282;
constexpr long double kHalf = 3.141;
}  // namespace

double dirX[256];
double dirY[256];

void buildDirectionTables() {
    for (int i = 0; i < 256; ++i) {
        // Formed in extended precision, rounded to a double; the constants
        // are deliberately not pi/2 and 2 pi.
        double t = double(kQuarter - (long double)i * kTurn / 256.0L);
        dirX[i] = std::cos(t);
        dirY[i] = -std::sin(t);
    }
}

namespace {

// The step in extended precision, as the game defines it.
int32_t exactStep(double q, bool leftward) {
    long double t = std::atan((long double)q);
    if (leftward) t += kHalf;
    return int32_t((kQuarter - t) * 256.0L * (1.0L / kTurn));
}

}  // namespace

int32_t directionOf(double dx, double dy) {
    if (int64_t(dx) == 0) return dy >= 0 ? 128 : 0;
    const double q = -dy / dx;
    // The same sum in doubles lies within 1e-12 of the extended one, so it
    // truncates alike unless it is that close to a whole number; those (and
    // NaN) take the slow extended arctangent.
    double t = std::atan(q);
    if (dx < 0) t += double(kHalf);
    const double u = (double(kQuarter) - t) * 256.0 * (1.0 / double(kTurn));
    int32_t step = std::fabs(u - std::round(u)) > 1e-9 ? int32_t(u) : exactStep(q, dx < 0);
    if (step < 0)
        step += 256;
    else if (step > 255)
        step -= 256;
    return step;
}
