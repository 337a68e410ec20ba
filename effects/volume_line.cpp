#include "effects/volume_line.h"

#include <GL/glew.h>

#include <cstdio>

#include "resources/texture_manager.h"

VolumeLine::VolumeLine() : m_textures{NO_TEXTURE, NO_TEXTURE}, m_textureIndex(0), m_width(0.2f) {
  setup();
}

bool VolumeLine::setup() {
  m_textures[0] = TextureManager::instance()->loadTexture("textures/blue_glow.jpg", 1, NO_TEXTURE);
  m_textures[1] = TextureManager::instance()->loadTexture("textures/red_laser.jpg", 1, NO_TEXTURE);

  if (!GLEW_ARB_multitexture) {
    std::fprintf(stderr, "Error loading ARG_multitexture extension");
    m_ready = false;
    return false;
  }

  m_fragmentProgram.setFileName("cg_programs/volLine_fragment.cg");
  m_fragmentProgram.load();
  m_vertexProgram.setFileName("cg_programs/volLine_vertex.cg");
  m_vertexProgram.load();
  m_ready = true;
  return true;
}

void VolumeLine::draw(float x1, float y1, float z1, float x2, float y2, float z2, float width) {
  m_width = width;

  glEnable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glDepthMask(GL_FALSE);
  glEnable(GL_DEPTH_TEST);

  m_vertexProgram.setStateMatrix("ModelViewProj", CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                 CG_GL_MATRIX_IDENTITY);
  m_vertexProgram.setStateMatrix("ModelView", CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_IDENTITY);
  m_fragmentProgram.setTexture("volumeLineTexure", m_textures[m_textureIndex]);

  m_fragmentProgram.bind();
  m_vertexProgram.bind();

  // Each vertex: corner and width, side and half width, the other endpoint,
  // then this endpoint. Vertices 1 and 2 lie on one side of the segment, 3
  // and 4 on the other, since the direction to the other end flips.
  const float w = width;
  glBegin(GL_QUADS);
  glMultiTexCoord3f(GL_TEXTURE0, 0.0f, 0.0f, w);
  glMultiTexCoord2f(GL_TEXTURE1, -w, w / 2);
  glMultiTexCoord3f(GL_TEXTURE2, x2, y2, z2);
  glVertex3f(x1, y1, z1);

  glMultiTexCoord3f(GL_TEXTURE0, 0.25f, 0.0f, w);
  glMultiTexCoord2f(GL_TEXTURE1, w, w / 2);
  glMultiTexCoord3f(GL_TEXTURE2, x1, y1, z1);
  glVertex3f(x2, y2, z2);

  glMultiTexCoord3f(GL_TEXTURE0, 0.25f, 0.25f, w);
  glMultiTexCoord2f(GL_TEXTURE1, -w, w / 2);
  glMultiTexCoord3f(GL_TEXTURE2, x1, y1, z1);
  glVertex3f(x2, y2, z2);

  glMultiTexCoord3f(GL_TEXTURE0, 0.0f, 0.25f, w);
  glMultiTexCoord2f(GL_TEXTURE1, w, w / 2);
  glMultiTexCoord3f(GL_TEXTURE2, x2, y2, z2);
  glVertex3f(x1, y1, z1);
  glEnd();

  m_vertexProgram.unbind();
  m_fragmentProgram.unbind();

  glDisable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
  glEnable(GL_CULL_FACE);
}
