// Preloaded by bench/widget-calls: the watch of tests/support, with its
// counts printed when the program ends. Loaded before Qt, its definitions of
// the watched methods come first.
#include <cstdio>

#include "support/WidgetCallWatch.h"

namespace {
struct Report {
    ~Report() {
        std::fprintf(stderr, "%s", pelsid::test::widgetCallReport());
        std::fprintf(stderr, "total: %ld\n", pelsid::test::widgetCallsOffMainThread());
    }
} gReport;
}  // namespace
