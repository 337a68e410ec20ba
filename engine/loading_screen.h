// The loading screen shown before each scene loads, and the frame-rate
// overlay drawn over each frame.
//
// Call order: drawLoadingScreen(i) during DemoTimeline::setup, before scene
// i's load (it needs loadingFont built and presents the frame itself);
// drawFpsOverlay after each Scene::draw while the timeline's showFps is set (needs fpsFont).
// Nothing is owned here and nothing can fail: an unbuilt font prints nothing.
//
// GL state left behind: drawLoadingScreen leaves the depth test and lighting
// on and the modelview matrix selected; drawFpsOverlay leaves blending and
// lighting on. Both print with texturing off and give it back as it was.
#pragma once

#include "geometry/vector_math.h"

// Clears, draws the blue progress line with sceneIndex levels of bumps and
// "Loading...", then swaps the buffers. sceneIndex counts the loaded scenes.
void drawLoadingScreen(int sceneIndex);

// Hangs depth levels of bumps under the middle third of start -> end (x and y
// only), each blotting out the line beneath it.
void drawFractalLine(Vector3 start, Vector3 end, int depth);

// Prints "FPS: <fps>" in yellow in the lower left corner.
void drawFpsOverlay(int fps);
