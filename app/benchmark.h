// The benchmark mode: start-up phases and per-scene frame times.
//
// WinMain times the window and the loading (DemoTimeline keeps each scene's
// load time), then calls runBenchmark instead of the message loop. It draws
// every scene of the table for a fixed number of frames spread over the
// scene's window, prints a table to stdout and, when asked, writes the same
// figures as JSON. ESC or closing the window ends it early (exit code 0), as
// does a stop signal (platform/signals.h; WinMain then exits with its code);
// the table then holds the scenes measured in full.
#pragma once

#include <string>
#include <vector>

class DemoTimeline;

struct StartupTimes {
  double windowSeconds = 0.0;  // createGLWindow
  double setupSeconds = 0.0;   // DemoTimeline::setup: fonts, music, loading screens, loads
};

// Draws each scene, prints the table (and writes jsonPath unless empty).
// Returns the exit code.
int runBenchmark(DemoTimeline& timeline, const StartupTimes& startup, const std::string& jsonPath);

// The q-quantile (0..1) of the values by nearest rank; 0 for none.
double quantile(std::vector<double> values, double q);
