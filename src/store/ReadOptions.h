#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "store/ByteInput.h"

namespace pelsid {

/// Which frames of a file the user wants: from the `from`-th frame of the
/// file (1-based, in file order) up to the `to`-th, those that match `filter` (a libpcap
/// expression over the frame as stored; empty keeps every frame).
struct LoadChoice {
    std::uint64_t from = 1;
    std::uint64_t to = 0;  // the last frame wanted; 0: to the end
    std::string filter;
};

/// How far a read has come, for a display on another thread.
struct ReadProgress {
    std::atomic<std::uint64_t> bytesRead{0};
    std::atomic<std::uint64_t> frames{0};  // frames of the file passed so far
    std::atomic<int> stored{0};
};

struct ReadOptions {
    LoadChoice choice;
    /// How much is read from the input at a time (tests and fuzzers use tiny pieces).
    std::size_t pieceSize = ByteInput::kDefaultPieceSize;
    /// Only count the file's frames: nothing is converted, filtered or kept,
    /// and the read goes to the end of the file.
    bool countOnly = false;
    /// Pass every chosen frame on, however many: a live stream handed on,
    /// or an overview counting a whole file. Nothing is kept here.
    bool keepAll = false;
    /// Set from another thread to end the read early.
    const std::atomic<bool>* cancel = nullptr;
    ReadProgress* progress = nullptr;
};

}  // namespace pelsid
