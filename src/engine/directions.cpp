#include "engine/directions.h"

#include <cmath>

double dirX[256];
double dirY[256];

void buildDirectionTables() {
    for (int i = 0; i < 256; ++i) {
        // Formed in extended precision, rounded to a double; the constants
        // are deliberately not pi/2 and 2 pi.
        double t = double(1.5705L - (long double)i * 6.282L / 256.0L);
        dirX[i] = std::cos(t);
        dirY[i] = -std::sin(t);
    }
}

int32_t directionOf(double dx, double dy) {
    if (int64_t(dx) == 0) return dy >= 0 ? 128 : 0;
    long double t = std::atan((long double)(-dy / dx));
    if (dx < 0) t += 3.141L;
    int32_t step = int32_t((1.5705L - t) * 256.0L * (1.0L / 6.282L));
    if (step < 0) step += 256;
    else if (step > 255) step -= 256;
    return step;
}
