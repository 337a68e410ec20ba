// The high-resolution tick counter and the millisecond fallback.
//
// The real source is SDL's performance counter. A TickSource installed with
// setTickSource replaces it for every caller (tests feed ticks by hand, the
// capture mode feeds one tick per frame); null restores the real counter. The
// caller keeps ownership of the source.
#pragma once

#include <cstdint>

namespace platform {

class TickSource {
 public:
  virtual ~TickSource() = default;
  // Ticks per second; false when there is no high-resolution counter.
  virtual bool frequency(int64_t* ticksPerSecond) = 0;
  virtual int64_t counter() = 0;
  // Milliseconds for the fallback clock.
  virtual uint32_t milliseconds() = 0;
};

void setTickSource(TickSource* source);

// False when there is no high-resolution counter.
bool queryPerformanceFrequency(int64_t* ticksPerSecond);
bool queryPerformanceCounter(int64_t* ticks);

// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t timeGetTime();

}  // namespace platform
