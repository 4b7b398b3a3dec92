// Mouse-wheel deltas in whole notches. A high-resolution wheel reports
// fractions of a notch (deltas below 120): they add up here until a whole
// notch is reached instead of being lost; turning the other way starts over.
#pragma once

class TLkWheelNotches {
 public:
  static constexpr int kNotch = 120;
  // Adds one message's delta; the whole notches it completes (positive: away
  // from the user, as the platform reports).
  int Add(int delta) {
    if ((rest_ > 0 && delta < 0) || (rest_ < 0 && delta > 0)) rest_ = 0;
    rest_ += delta;
    const int notches = rest_ / kNotch;
    rest_ -= notches * kNotch;
    return notches;
  }

 private:
  int rest_ = 0;
};
