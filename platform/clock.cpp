#include "platform/clock.h"

#include <SDL.h>

namespace platform {

static TickSource* tickSource = nullptr;

void setTickSource(TickSource* source) { tickSource = source; }

bool queryPerformanceFrequency(int64_t* ticksPerSecond) {
  if (tickSource) return tickSource->frequency(ticksPerSecond);
  Uint64 f = SDL_GetPerformanceFrequency();
  *ticksPerSecond = static_cast<int64_t>(f);
  return f != 0;
}

bool queryPerformanceCounter(int64_t* ticks) {
  *ticks = tickSource ? tickSource->counter() : static_cast<int64_t>(SDL_GetPerformanceCounter());
  return true;
}

uint32_t timeGetTime() { return tickSource ? tickSource->milliseconds() : SDL_GetTicks(); }

}  // namespace platform
