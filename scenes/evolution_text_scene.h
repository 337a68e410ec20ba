// Extruded letters streaming around an ellipse, a tumbling sphere that changes
// its rendering style every five seconds, and a radial zoom blur at the end
// (115-150 s on the show clock).
//
// Call order: constructed (plain values only) -> load builds the outline font
// -> init on the first active frame fills the path tables, frees the letter
// slots, creates the 512 x 512 blur target and sets the scene's GL state ->
// draw every active frame. Letter motion and the sphere's rotation advance one
// step per drawn frame; the sphere's style and the blur follow the local time.
// The letter stream, the text cursor and the sphere angles are never reset, so
// a looping show continues where it stood.
//
// Ownership: the scene owns its letter stream; the font's display lists belong
// to the FontManager, the blur texture to the TextureManager.
//
// Failures: nothing is reported. An outline font that did not build prints
// nothing; a blur target that could not be created (NO_TEXTURE) leaves the
// blur's quads untextured.
//
// GL state left behind by draw: lighting off, smooth shading, filled polygons,
// GL_LIGHT1 set up and enabled, the modelview matrix selected; blending on (the
// next frame's letters are drawn with it, under the blend function last set)
// until the blur starts; the blur leaves blending and texturing off, texture 0
// bound and the blend function (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA). The
// projection is never set.
#pragma once

#include <vector>

#include "engine/scene.h"

constexpr int PATH_STEPS = 360;
constexpr int LETTER_SLOTS = 20;

// The streamed text: the closing double quote marks its end and is never shown.
extern const char EVOLUTION_TEXT[];

// One letter on its way around the ellipse.
struct LetterSlot {
  int position;  // 0 = free; 1 to 359 = index into the path tables
  char letter;
};

// The path around the ellipse, the text cursor and the letters on their way.
struct LetterStream {
  short pathX[PATH_STEPS];
  short pathY[PATH_STEPS];
  const char* textStart;
  const char* textCursor;
  int spawnCounter;
  LetterSlot slots[LETTER_SLOTS];

  // Cursor at the start of EVOLUTION_TEXT, no frames counted, every slot free.
  LetterStream();

  // Fills both path tables and frees every slot.
  void reset();

  // Counts one frame; once more than 20 have passed since the last letter,
  // starts the letter under the cursor at path position 3 in the first free slot.
  void emitLetter();

  // Moves a slot's letter one path position on; at 360 it is 0 and the slot free.
  void advance(int slot);
};

// How the sphere is drawn at a local time.
enum class SphereStyle {
  LIT,         // t <= 5 and t > 20: lit, smooth
  FLAT_DISC,   // 5 < t <= 10: unlit, a flat white disc
  WIRE_FRAME,  // 10 < t <= 15: unlit lines
  FACETS,      // 15 < t <= 20: lit, flat shading
};

// The sphere's style for the scene's local time t.
SphereStyle sphereStyle(double t);

// Side of the square copy the zoom blur works on.
constexpr int BLUR_SIZE = 512;

// Where the blur's copy lies: its lower-left corner in window pixels, and the
// part of the copy, in copy pixels [left, right) x [bottom, top), that the
// frame buffer covers. Everything outside that part has no pixels to copy.
struct BlurCopyRect {
  int x, y;
  int left, bottom, right, top;
};

// The copy centred on a screenWidth x screenHeight screen, clipped to a
// frameWidth x frameHeight frame buffer.
BlurCopyRect blurCopyRect(int screenWidth, int screenHeight, int frameWidth, int frameHeight);

class EvolutionTextScene : public Scene {
 public:
  // Plain values only: the blur target is NO_TEXTURE until init.
  EvolutionTextScene();

  // Builds the green letters' outline font.
  bool load() override;
  // Path tables, free slots, blur target, GL state and the light of the sphere.
  void init() override;
  // Letters, sphere, and after 30 s the zoom blur over the whole frame.
  void draw() override;

 private:
  // Draws every travelling letter, unlit, at its path position and moves it on.
  void drawLetters();
  // Turns the sphere one step, sets the style for the local time and draws it.
  void drawSphere();
  // Copies the middle of the frame and draws it 30 times, smaller and fainter.
  void drawZoomBlur();
  // Overwrites the part of the blur texture the frame buffer did not cover.
  void blackenUncovered(const BlurCopyRect& rect);

  LetterStream letters;
  double sphereYaw = 0.0;
  double spherePitch = 0.0;
  unsigned int blurTexture;
  int font = -1;
  std::vector<unsigned char> blackPixels;
};
