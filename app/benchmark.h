// The benchmark mode: start-up phases and per-scene frame times.
//
// WinMain times the window and the loading (DemoTimeline keeps each scene's
// load time), then calls runBenchmark instead of the message loop. It draws
// a clear and a swap (the floor) and then every scene of the table for a
// fixed number of frames spread over the scene's window, prints a table to
// stdout with each scene's median over the floor's and, when asked, writes the same
// figures as JSON. ESC or closing the window ends it early (exit code 0), as
// does a stop signal (platform/signals.h; WinMain then exits with its code);
// the table then holds the scenes measured in full.
#pragma once

#include <string>
#include <vector>

class DemoTimeline;

struct StartupTimes {
  double beforeWindowSeconds = 0.0;  // process start to createGLWindow
  double windowSeconds = 0.0;        // createGLWindow
  double setupSeconds = 0.0;         // DemoTimeline::setup: fonts, music, loading screens, loads
  double firstFrameSeconds = 0.0;    // process start to the first frame (set by runBenchmark)
};

// Measures the floor (a clear and a swap), then draws each scene of the
// timeline in its window; prints the table (and writes jsonPath unless
// empty). Returns the exit code.
int runBenchmark(DemoTimeline& timeline, StartupTimes startup, const std::string& jsonPath);

// Seconds from the start of this process to now (to 10 ms); 0 when the
// system cannot tell.
double secondsSinceProcessStart();

// The q-quantile (0..1) of the values by nearest rank; 0 for none.
double quantile(std::vector<double> values, double q);
