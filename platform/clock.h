#pragma once

namespace parlavo {

// A monotonic clock in seconds. The program uses the steady clock; tests set the time by hand.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual double seconds() const = 0;
};

class SteadyClock final : public Clock {
  public:
    double seconds() const override;
};

class ManualClock final : public Clock {
  public:
    double seconds() const override { return now_; }
    void set(double seconds) { now_ = seconds; }
    void advance(double seconds) { now_ += seconds; }

  private:
    double now_ = 0;
};

} // namespace parlavo
