// The show: six scenes on one clock and the music their first frames start.
//
// placeShow fills the timeline's table and opens the music streams; call it
// once after the GL window exists and before DemoTimeline::setup. The
// timeline owns the scenes from then on. An unreadable music file leaves its
// stream silent, as the sound manager reports.
#pragma once

#include "engine/demo_timeline.h"

// Places the six scenes with their windows and cues, and opens both music streams.
void placeShow(DemoTimeline& timeline);
