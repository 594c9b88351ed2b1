#include "base/twips.h"

#include <cmath>

int twipsToPixels(double twips, double dpi) {
    return int(std::lround(twips * dpi / 1440.0));
}

double pixelsToTwips(int pixels, double dpi) {
    return dpi > 0 ? pixels * 1440.0 / dpi : 0.0;
}
