#include <GL/glew.h>
#include <GL/glut.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "geometry/model_3ds.h"

// drawCel hands the face list to GL as an index array.
static_assert(sizeof(MeshFace) == 3 * sizeof(GLuint), "a face is three indices");

namespace {

// Identity texture matrix, no texturing or generation, GL_MODULATE.
void resetTextureUnit(GLenum unit) {
  glActiveTexture(unit);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_TEXTURE_3D);
  glDisable(GL_TEXTURE_CUBE_MAP);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glDisable(GL_TEXTURE_GEN_R);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

// Whether GL draws on the processor. Reading the depth back then costs a
// copy and saves most of the outline's work; on a graphics card it stalls
// the pipeline for more than the outline costs there.
bool softwareRasteriser() {
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (!renderer) return false;
  for (const char* name : {"llvmpipe", "softpipe", "swrast"})
    if (std::strstr(renderer, name)) return true;
  return false;
}

// Appends to kept the faces whose outline can pass the depth test against
// the depth buffer as it is now. A face is left out only when all of its
// corners lie inside the view volume and the nearest of them is farther,
// by more than the error of this estimate, than everything already drawn
// in the tiles around its screen box widened by the line's reach. Such an
// outline fails the depth test at every pixel (the depth only decreases
// while the outline is drawn), so leaving it out changes no pixel.
void facesWithOutlineInView(const MeshObject& object, const Matrix4& modelview, float lineWidth,
                            OutlineCulling& cull, std::vector<GLuint>* kept) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  float range[2], projection[16];
  glGetFloatv(GL_DEPTH_RANGE, range);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  GLint bits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &bits);
  const int width = viewport[2], height = viewport[3];
  kept->clear();
  const auto keep = [kept](const MeshFace& f) {
    kept->insert(kept->end(), {GLuint(f.a), GLuint(f.b), GLuint(f.c)});
  };
  if (width <= 0 || height <= 0 || bits <= 0) {
    for (const MeshFace& f : object.faces) keep(f);
    return;
  }

  // Window coordinates of the corners (z < 0: outside the view volume) and
  // the box around those inside it.
  float mvp[16];
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += projection[k * 4 + r] * modelview.m[c * 4 + k];
      mvp[c * 4 + r] = sum;
    }
  float box[4] = {static_cast<float>(width), static_cast<float>(height), 0.0f, 0.0f};
  cull.window.resize(object.vertices.size());
  for (size_t v = 0; v < object.vertices.size(); ++v) {
    const Vector3& p = object.vertices[v];
    float clip[4];
    for (int r = 0; r < 4; ++r)
      clip[r] = mvp[r] * p.x + mvp[4 + r] * p.y + mvp[8 + r] * p.z + mvp[12 + r];
    Vector3& out = cull.window[v];
    const float w = clip[3];
    if (!(w > 0.0f) || std::fabs(clip[0]) > w || std::fabs(clip[1]) > w || std::fabs(clip[2]) > w) {
      out = Vector3(0.0f, 0.0f, -1.0f);
      continue;
    }
    out = Vector3((clip[0] / w * 0.5f + 0.5f) * width, (clip[1] / w * 0.5f + 0.5f) * height,
                  range[0] + (clip[2] / w * 0.5f + 0.5f) * (range[1] - range[0]));
    box[0] = std::min(box[0], out.x);
    box[1] = std::min(box[1], out.y);
    box[2] = std::max(box[2], out.x);
    box[3] = std::max(box[3], out.y);
  }

  // The depth under that box in tiles of TILE x TILE pixels from its corner
  // (x0, y0), each holding its farthest value.
  constexpr int TILE = 4;
  const float reach = lineWidth * 0.5f + 2.5f;
  const int x0 = std::max(0, static_cast<int>(box[0] - reach) - 1);
  const int y0 = std::max(0, static_cast<int>(box[1] - reach) - 1);
  const int w = std::min(width, static_cast<int>(box[2] + reach) + 2) - x0;
  const int h = std::min(height, static_cast<int>(box[3] + reach) + 2) - y0;
  const int tilesX = std::max(0, (w + TILE - 1) / TILE),
            tilesY = std::max(0, (h + TILE - 1) / TILE);
  cull.tileFarthest.assign(static_cast<size_t>(tilesX) * tilesY, 0.0f);
  if (tilesX > 0 && tilesY > 0) {
    cull.depth.resize(static_cast<size_t>(w) * h);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(viewport[0] + x0, viewport[1] + y0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT,
                 cull.depth.data());
    for (int y = 0; y < h; ++y) {
      const float* row = &cull.depth[static_cast<size_t>(y) * w];
      float* tiles = &cull.tileFarthest[static_cast<size_t>(y / TILE) * tilesX];
      for (int x = 0; x < w; ++x) tiles[x / TILE] = std::max(tiles[x / TILE], row[x]);
    }
  }

  // Two steps of the depth buffer and the rounding of this estimate.
  const float margin = static_cast<float>(2.0 / (std::ldexp(1.0, bits) - 1.0)) + 1e-5f;
  for (const MeshFace& f : object.faces) {
    const Vector3& a = cull.window[f.a];
    const Vector3& b = cull.window[f.b];
    const Vector3& c = cull.window[f.c];
    bool hidden = a.z >= 0.0f && b.z >= 0.0f && c.z >= 0.0f;
    if (hidden) {
      // The reach of the outline, from the box's corner; it must lie inside.
      const float left = std::min({a.x, b.x, c.x}) - reach - x0;
      const float right = std::max({a.x, b.x, c.x}) + reach - x0;
      const float bottom = std::min({a.y, b.y, c.y}) - reach - y0;
      const float top = std::max({a.y, b.y, c.y}) + reach - y0;
      hidden = left >= 0.0f && bottom >= 0.0f && right < w && top < h;
      const float nearest = std::min({a.z, b.z, c.z}) - margin;
      for (int ty = static_cast<int>(bottom) / TILE; hidden && ty <= static_cast<int>(top) / TILE;
           ++ty)
        for (int tx = static_cast<int>(left) / TILE; hidden && tx <= static_cast<int>(right) / TILE;
             ++tx)
          hidden = nearest > cull.tileFarthest[static_cast<size_t>(ty) * tilesX + tx];
    }
    if (!hidden) keep(f);
  }
}

}  // namespace

float celIntensity(Vector3 n, Vector3 l, Matrix4 m) {
  l = normalize(l.x, l.y, l.z);
  const Vector3 turned = m.rotateVector(n.x, n.y, n.z);
  float d = turned.dot(l.x, l.y, l.z);
  if (d < 0.0f) d = 0.0f;
  return std::fabs(d);
}

Vector3 tangentSpaceLightColour(const MeshObject& object, int vertex, const Vector3& lightPos) {
  const Vector3 toLight = lightPos - object.vertices[vertex];
  const Vector3 l = normalize(toLight.x, toLight.y, toLight.z);
  // Objects loaded without bump mapping have no frames: use the default one.
  const bool framed = static_cast<int>(object.tangents.size()) > vertex;
  const Vector3 t = framed ? object.tangents[vertex] : Vector3(1, 0, 0);
  const Vector3 b = framed ? object.binormals[vertex] : Vector3(0, 1, 0);
  const Vector3 n = framed ? object.frameNormals[vertex] : Vector3(0, 0, 1);
  Matrix4 frame;
  frame.set(t.x, b.x, n.x, 0, t.y, b.y, n.y, 0, t.z, b.z, n.z, 0, 0, 0, 0, 1);
  return rangeCompress(frame.rotateVector(l.x, l.y, l.z));
}

void Model3DS::draw() {
  switch (renderMode) {
    case RENDER_CEL: drawCel(); break;
    case RENDER_BUMP: drawBump(); break;
    default: drawPlain();
  }
}

void Model3DS::drawPlain() {
  if (!plainList) {
    plainList = glGenLists(1);
    glNewList(plainList, GL_COMPILE);
    issuePlain();
    glEndList();
  }
  glCallList(plainList);
}

void Model3DS::issuePlain() {
  for (const MeshObject& object : objects) {
    if (object.hasTexture) {
      glEnable(GL_TEXTURE_2D);
      glColor3ub(255, 255, 255);
      glBindTexture(GL_TEXTURE_2D, textures[object.materialIndex]);
    } else {
      glDisable(GL_TEXTURE_2D);
      glColor3ub(255, 255, 255);
    }
    const bool mapped = object.hasTexture && object.texCoordCount > 0;
    const unsigned char* colour =
        !object.hasTexture && materialCount > 0 ? materials[object.materialIndex].colour : nullptr;
    glBegin(GL_TRIANGLES);
    for (const MeshFace& face : object.faces) {
      for (int v : {face.a, face.b, face.c}) {
        const Vector3& n = object.normals[v];
        glNormal3f(n.x, n.y, n.z);
        if (mapped) glTexCoord2f(object.texCoords[v].u, -object.texCoords[v].v);
        if (colour) glColor3ub(colour[0], colour[1], colour[2]);
        const Vector3& p = object.vertices[v];
        glVertex3f(p.x, p.y, p.z);
      }
    }
    glEnd();
  }
}

void Model3DS::loadCelShaded(const char* path, Light celLight, int r, int g, int b, int lineWidth) {
  load(path, false);
  renderMode = RENDER_CEL;
  light = celLight;
  outlineColour = Vector3(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
  outlineWidth = static_cast<float>(lineWidth);
  cullHiddenOutlines = softwareRasteriser();

  GLuint name = 0;
  glGenTextures(1, &name);
  shadeTexture = name;
  buildShadeTable();
  glBindTexture(GL_TEXTURE_1D, shadeTexture);
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, SHADE_TABLE_SIZE, 0, GL_RGB, GL_FLOAT, shadeTable);
}

void Model3DS::buildShadeTable() {
  for (int i = 0; i < SHADE_TABLE_SIZE; ++i) {
    const float shade = i < 8 ? 0.4f : i < 28 ? 0.9f : 1.0f;
    for (float& channel : shadeTable[i]) channel = shade;
  }
}

void Model3DS::drawCel() {
  glEnable(GL_BLEND);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glEnable(GL_LINE_SMOOTH);
  glPolygonMode(GL_FRONT, GL_FILL);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glEnable(GL_CULL_FACE);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_TEXTURE_1D);
  if (shadeTexture != 0xFFFFFFFFu) glBindTexture(GL_TEXTURE_1D, shadeTexture);
  glDisable(GL_LIGHTING);
  Matrix4 modelview;
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);

  // Arrays of the mesh as it is, drawn by the face list: the same triangles
  // in the same order as one call per corner, at a fraction of the cost.
  glClientActiveTexture(GL_TEXTURE0);
  glEnableClientState(GL_VERTEX_ARRAY);
  for (const MeshObject& object : objects) {
    const GLsizei corners = static_cast<GLsizei>(object.faces.size() * 3);
    const GLuint* indices = reinterpret_cast<const GLuint*>(object.faces.data());
    glVertexPointer(3, GL_FLOAT, sizeof(Vector3), object.vertices.data());

    // Fill: the material colour modulated by the shade of the eye-space normal.
    const unsigned char* colour =
        materialCount > 0 ? materials[object.materialIndex].colour : nullptr;
    if (colour) glColor3ub(colour[0], colour[1], colour[2]);
    shadeCoords.resize(object.vertices.size());
    for (size_t v = 0; v < shadeCoords.size(); ++v)
      shadeCoords[v] = celIntensity(object.normals[v], light.position, modelview);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(1, GL_FLOAT, 0, shadeCoords.data());
    glDrawElements(GL_TRIANGLES, corners, GL_UNSIGNED_INT, indices);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);

    // Outline: back faces as smoothed lines, seen only around the silhouette.
    glDisable(GL_TEXTURE_1D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor3f(outlineColour.x, outlineColour.y, outlineColour.z);
    glLineWidth(outlineWidth);
    glDepthFunc(GL_LEQUAL);
    glPolygonMode(GL_BACK, GL_LINE);
    glCullFace(GL_FRONT);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, sizeof(Vector3), object.normals.data());
    if (cullHiddenOutlines) {
      facesWithOutlineInView(object, modelview, outlineWidth, outlineCulling, &outlineFaces);
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(outlineFaces.size()), GL_UNSIGNED_INT,
                     outlineFaces.data());
    } else {
      glDrawElements(GL_TRIANGLES, corners, GL_UNSIGNED_INT, indices);
    }
    glDisableClientState(GL_NORMAL_ARRAY);
    glDepthFunc(GL_LESS);
    glColor3f(1.0f, 1.0f, 1.0f);
    glCullFace(GL_BACK);
    glEnable(GL_TEXTURE_1D);
  }
  glDisableClientState(GL_VERTEX_ARRAY);
}

void Model3DS::drawBump() {
  glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  const float ambient[4] = {0.5f, 0.5f, 0.5f, 0.5f};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  const float position[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  glLightfv(GL_LIGHT0, GL_POSITION, position);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  resetTextureUnit(GL_TEXTURE0);
  resetTextureUnit(GL_TEXTURE1);

  for (const MeshObject& object : objects) {
    // Unit 0: the normal map dotted with the light vector in the primary colour.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, normalMaps[object.materialIndex]);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_DOT3_RGB);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    // Unit 1: that result times the colour texture.
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, textures[object.materialIndex]);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);

    // The light in object space (the rigid inverse negates the translation only).
    float eyeLight[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, eyeLight);
    Matrix4 modelview;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    modelview.invertRigid();
    const Vector3 lightPos = modelview.transformPoint(eyeLight[0], eyeLight[1], eyeLight[2]);

    const bool mapped = object.texCoordCount > 0;
    glBegin(GL_TRIANGLES);
    for (const MeshFace& face : object.faces) {
      for (int v : {face.a, face.b, face.c}) {
        const TexCoord uv = mapped ? object.texCoords[v] : TexCoord();
        glMultiTexCoord2f(GL_TEXTURE0, uv.u, uv.v);
        glMultiTexCoord2f(GL_TEXTURE1, uv.u, uv.v);
        const Vector3 c = tangentSpaceLightColour(object, v, lightPos);
        glColor3f(c.x, c.y, c.z);
        const Vector3& n = object.normals[v];
        glNormal3f(n.x, n.y, n.z);
        const Vector3& p = object.vertices[v];
        glVertex3f(p.x, p.y, p.z);
      }
    }
    glEnd();
  }

  // A small marker where the light sits.
  glDisable(GL_LIGHTING);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, 120.0f);
  glColor3f(1.0f, 1.0f, 1.0f);
  glutSolidSphere(0.05, 8, 8);
  glEnable(GL_LIGHTING);
  resetTextureUnit(GL_TEXTURE0);
  resetTextureUnit(GL_TEXTURE1);
}
