// The counting pass of File > Load Part of a Capture...: how many frames a
// file holds, read as the dialog reads it (bench/load times it).
//   pelsid_countframes FILE
#include <iostream>

#include "store/CaptureFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: pelsid_countframes FILE\n";
        return 2;
    }
    pelsid::ReadOptions options;
    options.countOnly = true;
    const pelsid::CaptureFile file = pelsid::readCaptureFile(argv[1], options);
    for (const pelsid::LoadProblem& p : file.problems()) std::cerr << p.text << '\n';
    if (!file.isLoadable()) return 1;
    std::cout << file.recordSet().frames << '\n';
    return 0;
}
