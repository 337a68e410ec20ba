// Offline capture of the show: a frame clock, one PNG per frame, and an MP4.
//
// beginCapture before the window opens: it checks that the folder can be
// written and installs a clock that advances exactly 1/fps s per frame.
// Every frame presented before captureShowStarts (the loading screens) is
// written as loading_N.png. captureShowStarts once the scenes are loaded
// (vsync off; from then on frames are numbered per pass of the frame loop). captureFrameDone after
// every pass of the frame loop: it writes the frame last presented in that pass and advances the
// clock; it returns false once the end time is reached. endCapture after the loop: it muxes the
// video when ffmpeg is on the PATH and prints a summary. Failures are reported on stderr;
// beginCapture returns false when the folder cannot be written.
#pragma once

#include <string>

// Prepares the capture into dir (created if missing) from startAt to `to`
// seconds of show time (negative: the show's end).
bool beginCapture(const std::string& dir, int fps, double startAt, double to);

// Turns vsync off and starts reading every presented frame; endTime is the
// show's end, where a capture without its own end stops.
void captureShowStarts(double endTime);

// Writes the frame presented in this pass; false when the capture is complete.
bool captureFrameDone();

// Muxes the frames (and the soundtrack, if one was written) and reports.
void endCapture();
