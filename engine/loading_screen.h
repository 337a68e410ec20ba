// The loading screen shown before each scene loads, and the frame-rate
// overlay drawn over each frame.
//
// Call order: drawLoadingScreen during DemoTimeline::setup, before each
// scene's load (with the loading font built; it presents the frame itself);
// drawFpsOverlay after each Scene::draw while the timeline's showFps is set.
// Nothing is owned here and nothing can fail: an unbuilt font prints nothing.
//
// GL state left behind: drawLoadingScreen leaves the depth test and lighting
// on and the modelview matrix selected; drawFpsOverlay leaves blending and
// lighting on. Both print with texturing off and give it back as it was.
#pragma once

#include "geometry/vector_math.h"
#include "platform/win32.h"

// Clears, draws the blue progress line with sceneIndex levels of bumps and
// "Loading..." in font, then swaps dc's buffers (none when dc is null).
// sceneIndex counts the loaded scenes.
void drawLoadingScreen(HDC dc, int font, int sceneIndex);

// Hangs depth levels of bumps under the middle third of start -> end (x and y
// only), each blotting out the line beneath it.
void drawFractalLine(Vector3 start, Vector3 end, int depth);

// Prints "FPS: <fps>" in yellow in font in the lower left corner.
void drawFpsOverlay(int font, int fps);
