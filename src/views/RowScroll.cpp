#include "views/RowScroll.h"

#include <cmath>

namespace pelsid {

int scaleLength(int actualValue, int maxRange) {
    if (maxRange <= 0) return 0;
    return int(std::nearbyint(double(actualValue) / 1518.0 * double(maxRange)));
}

}  // namespace pelsid
