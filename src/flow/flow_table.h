#pragma once
// The daily flow table outarray: one 32-bit float per (year index, day of
// year, station index), -1.0 for a day without a value. Only the 366 day
// slots a year can use are kept. Storage is station-major (station, year,
// day), so each reader fills one station's days in order and the
// availability count walks them in order; the writer gathers one year of
// all stations at a time.

#include <cstdint>
#include <memory>

namespace gaumo {

constexpr std::int32_t kDaySlots = 366;
/// The time axis the calendar can address; indices 367 to 8784 have no slot
/// here because nothing ever reads them back.
constexpr std::int32_t kTimeAxis = 8784;
constexpr float kMissing = -1.0f;

/// Where day t of a year's time axis goes: its slot (1 to 366), nowhere
/// without a word (367 to 8784: nothing ever reads them back), or nowhere
/// with a message (off the axis). Every source asks this one rule.
enum class DayPlace { kSlot, kBeyondSlots, kOffAxis };
constexpr DayPlace place_of_day(std::int32_t t) {
  return t < 1 || t > kTimeAxis ? DayPlace::kOffAxis
         : t > kDaySlots        ? DayPlace::kBeyondSlots
                                : DayPlace::kSlot;
}

/// Gives the table's memory back: a mapping of `bytes`, or (0) a heap block.
struct FlowTableUnmap {
  std::size_t bytes = 0;
  void operator()(float* p) const;
};

class FlowTable {
 public:
  /// Allocates years x 366 x stations slots and sets them to -1.0. Ends the
  /// run with the allocation stop when the size overflows, exceeds the
  /// machine's physical memory, or cannot be had.
  void create(std::int64_t years, std::int32_t stations);

  std::int64_t years() const { return years_; }
  std::int32_t stations() const { return stations_; }

  /// The 366 day slots (day 1 first) of station i (1-based) in year index n
  /// (1-based): slot t - 1 holds day t of the year. The only place that
  /// knows how the slots are laid out.
  float* days(std::int32_t i, std::int64_t n) {
    return data_.get() + offset(i, n);
  }
  const float* days(std::int32_t i, std::int64_t n) const {
    return data_.get() + offset(i, n);
  }

 private:
  std::size_t offset(std::int32_t i, std::int64_t n) const {
    return (static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(years_) +
            static_cast<std::size_t>(n - 1)) *
           kDaySlots;
  }
  using Block = std::unique_ptr<float[], FlowTableUnmap>;
  Block data_;
  std::int64_t years_ = 0;
  std::int32_t stations_ = 0;
};

}  // namespace gaumo
