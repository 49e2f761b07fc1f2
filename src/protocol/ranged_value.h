#pragma once

#include <atomic>
#include <cstdint>

namespace kestrel {

// A 32-bit value that accepts only numbers within its limits. Each word is atomic, so one thread
// may store while others read; the limits change only at initialisation.
class RangedValue {
  public:
    // Sets value and limits at once, without checking the value against the limits.
    void Reset(int32_t value, int32_t min, int32_t max) {
        max_.store(max, std::memory_order_relaxed);
        min_.store(min, std::memory_order_relaxed);
        value_.store(value, std::memory_order_relaxed);
    }
    // Stores v when min <= v <= max and reports whether it did.
    bool Store(int32_t v) {
        if (v < min_.load(std::memory_order_relaxed) || v > max_.load(std::memory_order_relaxed)) {
            return false;
        }
        value_.store(v, std::memory_order_relaxed);
        return true;
    }
    // Returns the value.
    int32_t Get() const { return value_.load(std::memory_order_relaxed); }
    // Returns the largest value accepted.
    int32_t Max() const { return max_.load(std::memory_order_relaxed); }
    // Returns the smallest value accepted.
    int32_t Min() const { return min_.load(std::memory_order_relaxed); }

  private:
    std::atomic<int32_t> value_{0};
    std::atomic<int32_t> max_{0};
    std::atomic<int32_t> min_{0};
};

// The same as RangedValue for a 64-bit real (the clarifier offsets, in Hz).
class RangedReal {
  public:
    // Sets value and limits at once, without checking the value against the limits.
    void Reset(double value, double min, double max) {
        max_.store(max, std::memory_order_relaxed);
        min_.store(min, std::memory_order_relaxed);
        value_.store(value, std::memory_order_relaxed);
    }
    // Stores v when min <= v <= max and reports whether it did; NaN is never stored.
    bool Store(double v) {
        if (!(v >= min_.load(std::memory_order_relaxed) &&
              v <= max_.load(std::memory_order_relaxed))) {
            return false;
        }
        value_.store(v, std::memory_order_relaxed);
        return true;
    }
    // Returns the value.
    double Get() const { return value_.load(std::memory_order_relaxed); }

  private:
    std::atomic<double> value_{0.0};
    std::atomic<double> max_{0.0};
    std::atomic<double> min_{0.0};
};

}  // namespace kestrel
