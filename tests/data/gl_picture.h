// A picture as GL holds it after the show's own load: level 0, row t = 0
// first.
#pragma once

#include <GL/glew.h>

#include <vector>

#include "resources/texture_manager.h"

struct GlPicture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  const unsigned char* at(int x, int y) const { return &rgb[(y * width + x) * 3]; }
  float luminance(int x, int y) const {
    const unsigned char* p = at(x, y);
    return 0.3f * p[0] + 0.59f * p[1] + 0.11f * p[2];
  }
};

// Loads the file as the show does (no mipmaps) and reads the texture back;
// empty when the file does not load.
inline GlPicture loadGlPicture(const char* path) {
  GlPicture p;
  const GLuint name = TextureManager::instance()->loadTexture(path, 0, NO_TEXTURE);
  if (name == NO_TEXTURE) return p;
  glBindTexture(GL_TEXTURE_2D, name);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &p.width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &p.height);
  p.rgb.resize(static_cast<size_t>(p.width) * p.height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
  glDeleteTextures(1, &name);
  return p;
}
