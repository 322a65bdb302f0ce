#pragma once
#include <array>

namespace pelsid {

/// The axis index chosen for each axis of the three header-field views, kept
/// for the whole run so a view opened again shows the axes it had when it
/// was closed. Owned by the application; the windows borrow it and must not
/// outlive it. Axes are numbered from 1 as the windows number them.
class AxisStore {
  public:
    static constexpr int kParallelAxes = 18;

    AxisStore() { setDefaults(); }

    /// Parallel axis k shows field k - 1; scatter: "Ethertype" up, "IP
    /// Version" across; combined: "Source IP" left, "TCP Dest Port" right.
    void setDefaults();

    /// k = 1..18.
    int parallel(int k) const { return parallel_[k - 1]; }
    void setParallel(int k, int axisIndex) { parallel_[k - 1] = axisIndex; }
    /// k = 1 (vertical), 2 (horizontal).
    int scatter(int k) const { return scatter_[k - 1]; }
    void setScatter(int k, int axisIndex) { scatter_[k - 1] = axisIndex; }
    /// k = 1 (left), 2 (right).
    int combined(int k) const { return combined_[k - 1]; }
    void setCombined(int k, int axisIndex) { combined_[k - 1] = axisIndex; }

  private:
    std::array<int, kParallelAxes> parallel_{};
    std::array<int, 2> scatter_{};
    std::array<int, 2> combined_{};
};

}  // namespace pelsid
