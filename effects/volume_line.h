// VolumeLine: a glowing line segment of a given width, drawn as one quad
// that a Cg vertex program turns into a band facing the viewer and a Cg
// fragment program fills from a glow texture, added to the frame.
//
// Call order: construct with a current GL context and GLEW initialised (the
// constructor loads both glow textures and compiles both programs); then
// draw as often as wanted with the current GL matrices. Each VolumeLine owns
// its two programs; the textures belong to the TextureManager.
//
// Failures: without ARB_multitexture setup writes "Error loading
// ARG_multitexture extension" to stderr, loads no program and returns false
// (ready() says so after construction); the owner must not draw the line and
// the show cannot go on. A texture that does not load is drawn as NO_TEXTURE;
// program and parameter failures are reported by the ShaderProgram family and
// draw goes on with what it has.
//
// State draw leaves behind: lighting and face culling on, 2D texturing off,
// blending on with (GL_ONE, GL_ONE), depth writes off, depth test on.
#pragma once

#include <cstdint>

#include "resources/shader_program.h"

class VolumeLine {
 public:
  // Runs setup.
  VolumeLine();

  // Loads the textures, checks multitexturing, names and loads the programs;
  // false without multitexturing.
  bool setup();

  // Whether the last setup succeeded.
  bool ready() const { return m_ready; }

  // Draws the segment from (x1, y1, z1) to (x2, y2, z2), width in world units.
  void draw(float x1, float y1, float z1, float x2, float y2, float z2, float width);

  // The width of the last segment drawn (0.2 before the first).
  float width() const { return m_width; }

 private:
  unsigned int m_textures[2];
  int32_t m_textureIndex;
  float m_width;
  TexturedFragmentProgram m_fragmentProgram;
  VertexProgram m_vertexProgram;
  bool m_ready = false;
};
