// Time as the core sees it; tests give it a fixed clock.
#pragma once

#include <cstdint>
#include <string>

namespace wf {

struct LocalTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
    // Milliseconds since an arbitrary start, for measuring intervals.
    virtual std::uint64_t tickCount() const = 0;
};

class SystemClock : public Clock {
public:
    LocalTime now() const override;
    std::uint64_t tickCount() const override;
};

// A clock that stands still until told otherwise.
class ManualClock : public Clock {
public:
    explicit ManualClock(LocalTime time = {}) : m_time(time) {}
    LocalTime now() const override { return m_time; }
    std::uint64_t tickCount() const override { return m_ticks; }
    void set(LocalTime time) { m_time = time; }
    void advanceTicks(std::uint64_t ms) { m_ticks += ms; }

private:
    LocalTime m_time;
    std::uint64_t m_ticks = 0;
};

// "20190305-140233": a compact stamp for file names.
std::string fileStamp(const LocalTime& time);

}  // namespace wf
