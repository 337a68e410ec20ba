// Offline capture of the show: a frame clock, a video through ffmpeg, PNG
// frames when asked for, and the soundtrack as WAV.
//
// beginCapture before the window opens: it checks that the folder can be
// written and installs a clock that advances exactly 1/fps s per frame.
// Every frame presented before captureShowStarts (the loading screens) is
// written as loading_N.png. captureShowStarts once the scenes are loaded
// (vsync off; from then on frames are numbered per pass of the frame loop).
// captureFrameDone after every pass of the frame loop: it sends the frame last
// presented in that pass to ffmpeg's pipe (and writes it as PNG when asked
// for) and advances the clock; it returns false once the end time is reached
// or ffmpeg has stopped taking frames. endCapture after the loop: it finishes
// the video, puts the soundtrack into it and prints a summary with where the
// time went. Without ffmpeg on the PATH the frames are written as PNG.
// Failures are reported on stderr; beginCapture returns false when the folder
// cannot be written, endCapture false when the video could not be made.
#pragma once

#include <string>

// Prepares the capture into dir (created if missing) from startAt to `to`
// seconds of show time (negative: the show's end); png also writes every
// frame as frame_NNNNNN.png.
bool beginCapture(const std::string& dir, int fps, double startAt, double to, bool png);

// Turns vsync off and starts reading every presented frame; endTime is the
// show's end, where a capture without its own end stops.
void captureShowStarts(double endTime);

// Hands on the frame presented in this pass; false when the capture is over.
bool captureFrameDone();

// Finishes the video with the soundtrack and reports; false when a video was
// to be made and is missing or short of frames.
bool endCapture();
