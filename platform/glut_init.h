// GLUT's one-time start-up. glutSolidSphere ends the process when GLUT was
// never initialised, so this runs before anything can draw a sphere.
#pragma once

namespace platform {

// Calls glutInit when an X display can be opened (GLUT cannot start without
// one, and then nothing will draw). Consumes GLUT's X options from argv.
void initGlut(int* argc, char** argv);

}  // namespace platform
