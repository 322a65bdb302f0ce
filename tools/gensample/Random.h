#pragma once
#include <cstdint>

namespace gensample {

/// A small generator whose sequence is fixed by its seed on every platform
/// (the standard distributions are not), so the sample is the same everywhere.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    /// Uniform in lo..hi inclusive.
    int between(int lo, int hi) {
        return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool chance(int percent) { return between(1, 100) <= percent; }
    std::uint8_t byte() { return static_cast<std::uint8_t>(next() >> 56); }

  private:
    std::uint64_t state_;
};

}  // namespace gensample
