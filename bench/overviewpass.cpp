// The overview pass on its own, as the overview window runs it: the
// counterpart of pelsid_countframes (bench/overview compares the two).
//   pelsid_overviewpass FILE
#include <iostream>

#include "store/OverviewScan.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: pelsid_overviewpass FILE\n";
        return 2;
    }
    const pelsid::OverviewScan scan = pelsid::scanOverview(argv[1], {}, 0);
    for (const pelsid::LoadProblem& p : scan.problems) std::cerr << p.text << '\n';
    std::cout << scan.overview.frames() << " frames in " << scan.overview.bins().size()
              << " intervals\n";
    return scan.overview.empty() ? 1 : 0;
}
