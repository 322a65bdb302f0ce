#include "fieldviews/AxisStore.h"

namespace pelsid {

void AxisStore::setDefaults() {
    for (int k = 1; k <= kParallelAxes; ++k) setParallel(k, k - 1);
    scatter_ = {1, 2};
    combined_ = {12, 15};
}

}  // namespace pelsid
