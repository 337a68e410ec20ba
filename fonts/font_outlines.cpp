// Extruded glyph lists: FreeType outlines in design units, flattened to
// polylines, filled front and back by the GLU tessellator and joined by
// quads along every edge.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <vector>

#include "fonts/font.h"
#include "fonts/font_face.h"
#include FT_OUTLINE_H

namespace platform {
namespace {

struct Point {
  double x, y;
};
using Contour = std::vector<Point>;

// Curve subdivisions never exceed this, whatever the deviation.
constexpr int MAX_SEGMENTS = 64;

// Collects the contours of one outline in em units, curves flattened.
struct Flattener {
  double unitsPerEm;
  double deviation;  // em units
  std::vector<Contour> contours;

  Point em(const FT_Vector* v) const { return {v->x / unitsPerEm, v->y / unitsPerEm}; }
  Point& pen() { return contours.back().back(); }

  // Segments for a curve whose second derivative is at most bend: a chord
  // over parameter step h strays at most bend * h^2 / 8 from the curve.
  int segmentsFor(double bend) const {
    double n = std::ceil(std::sqrt(bend / (8.0 * deviation)));
    return std::clamp(static_cast<int>(n), 1, MAX_SEGMENTS);
  }
};

double length(double x, double y) { return std::sqrt(x * x + y * y); }

int moveTo(const FT_Vector* to, void* user) {
  auto* f = static_cast<Flattener*>(user);
  f->contours.push_back(Contour{f->em(to)});
  return 0;
}

int lineTo(const FT_Vector* to, void* user) {
  auto* f = static_cast<Flattener*>(user);
  f->contours.back().push_back(f->em(to));
  return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* f = static_cast<Flattener*>(user);
  const Point p0 = f->pen(), p1 = f->em(control), p2 = f->em(to);
  const int n = f->segmentsFor(2.0 * length(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y));
  for (int i = 1; i <= n; ++i) {
    const double t = static_cast<double>(i) / n, s = 1.0 - t;
    f->contours.back().push_back({s * s * p0.x + 2 * s * t * p1.x + t * t * p2.x,
                                  s * s * p0.y + 2 * s * t * p1.y + t * t * p2.y});
  }
  return 0;
}

int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* f = static_cast<Flattener*>(user);
  const Point p0 = f->pen(), p1 = f->em(c1), p2 = f->em(c2), p3 = f->em(to);
  const double bend = 6.0 * std::max(length(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                                     length(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
  const int n = f->segmentsFor(bend);
  for (int i = 1; i <= n; ++i) {
    const double t = static_cast<double>(i) / n, s = 1.0 - t;
    const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
    f->contours.back().push_back(
        {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
  }
  return 0;
}

// Drops repeated points and the closing copy of the first point, and
// contours too small to enclose anything.
void clean(std::vector<Contour>* contours) {
  auto same = [](const Point& a, const Point& b) {
    return std::fabs(a.x - b.x) < 1e-9 && std::fabs(a.y - b.y) < 1e-9;
  };
  for (Contour& c : *contours) {
    c.erase(std::unique(c.begin(), c.end(), same), c.end());
    while (c.size() > 1 && same(c.front(), c.back())) c.pop_back();
  }
  contours->erase(std::remove_if(contours->begin(), contours->end(),
                                 [](const Contour& c) { return c.size() < 3; }),
                  contours->end());
}

// The tessellator's callbacks compile straight into the open list.
struct TessState {
  std::deque<std::array<GLdouble, 3>> extra;  // vertices made at crossings
  bool failed = false;
};

void tessBegin(GLenum type) { glBegin(type); }
void tessVertex(void* data) { glVertex3dv(static_cast<GLdouble*>(data)); }
void tessEnd() { glEnd(); }
void tessCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* polygon) {
  auto* state = static_cast<TessState*>(polygon);
  state->extra.push_back({coords[0], coords[1], coords[2]});
  *out = state->extra.back().data();
}
void tessError(GLenum, void* polygon) { static_cast<TessState*>(polygon)->failed = true; }

template <typename F>
_GLUfuncptr callback(F* f) {
  return reinterpret_cast<_GLUfuncptr>(f);
}

// Fills the contours at depth z, facing along normalZ (+1 or -1).
bool fillFace(GLUtesselator* tess, const std::vector<Contour>& contours, double z, double normalZ) {
  std::vector<std::vector<std::array<GLdouble, 3>>> vertices;
  for (const Contour& c : contours) {
    vertices.emplace_back();
    for (const Point& p : c) vertices.back().push_back({p.x, p.y, z});
  }
  TessState state;
  glNormal3d(0.0, 0.0, normalZ);
  gluTessNormal(tess, 0.0, 0.0, normalZ);
  gluTessBeginPolygon(tess, &state);
  for (auto& contour : vertices) {
    gluTessBeginContour(tess);
    for (auto& v : contour) gluTessVertex(tess, v.data(), v.data());
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
  return !state.failed;
}

// One quad per edge from z = 0 back to z = -extrusion, facing outwards.
// fillRight: the filled side lies to the right of each edge's direction.
void buildWalls(const std::vector<Contour>& contours, double extrusion, bool fillRight) {
  const double back = -extrusion;
  glBegin(GL_QUADS);
  for (const Contour& c : contours) {
    for (size_t i = 0; i < c.size(); ++i) {
      const Point& a = c[i];
      const Point& b = c[(i + 1) % c.size()];
      const double dx = b.x - a.x, dy = b.y - a.y, len = length(dx, dy);
      if (fillRight) {
        glNormal3d(-dy / len, dx / len, 0.0);
        glVertex3d(a.x, a.y, 0.0);
        glVertex3d(b.x, b.y, 0.0);
        glVertex3d(b.x, b.y, back);
        glVertex3d(a.x, a.y, back);
      } else {
        glNormal3d(dy / len, -dx / len, 0.0);
        glVertex3d(a.x, a.y, 0.0);
        glVertex3d(a.x, a.y, back);
        glVertex3d(b.x, b.y, back);
        glVertex3d(b.x, b.y, 0.0);
      }
    }
  }
  glEnd();
}

GLYPHMETRICSFLOAT measure(const std::vector<Contour>& contours, double advance) {
  GLYPHMETRICSFLOAT m = {};
  m.gmfCellIncX = static_cast<float>(advance);
  if (contours.empty()) return m;
  double minX = contours[0][0].x, maxX = minX, minY = contours[0][0].y, maxY = minY;
  for (const Contour& c : contours)
    for (const Point& p : c) {
      minX = std::min(minX, p.x);
      maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y);
      maxY = std::max(maxY, p.y);
    }
  m.gmfBlackBoxX = static_cast<float>(maxX - minX);
  m.gmfBlackBoxY = static_cast<float>(maxY - minY);
  m.gmfptGlyphOrigin = {static_cast<float>(minX), static_cast<float>(maxY)};
  return m;
}

}  // namespace

bool useFontOutlines(HDC dc, DWORD first, DWORD count, DWORD listBase, float deviation,
                     float extrusion, int format, GLYPHMETRICSFLOAT* metrics) {
  PlatformFont* font = selectedFont(dc);
  if (!font || listBase == 0 || format != WGL_FONT_POLYGONS) return false;
  FT_Face face = font->face;
  const double unitsPerEm = face->units_per_EM;
  GLUtesselator* tess = gluNewTess();
  if (!tess) return false;
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
  gluTessCallback(tess, GLU_TESS_BEGIN, callback(tessBegin));
  gluTessCallback(tess, GLU_TESS_VERTEX, callback(tessVertex));
  gluTessCallback(tess, GLU_TESS_END, callback(tessEnd));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, callback(tessCombine));
  gluTessCallback(tess, GLU_TESS_ERROR_DATA, callback(tessError));

  const FT_Outline_Funcs funcs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};
  bool ok = true;
  for (DWORD i = 0; i < count; ++i) {
    Flattener flat{unitsPerEm, deviation > 0.0f ? deviation : 1.0 / unitsPerEm, {}};
    double advance = 0.0;
    bool fillRight = true;
    const uint32_t ch = ansiToUnicode(first + i);
    const FT_Int32 flags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
    if (ch && FT_Load_Char(face, ch, flags) == 0 &&
        face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
      FT_Outline* outline = &face->glyph->outline;
      advance = face->glyph->advance.x / unitsPerEm;
      fillRight = FT_Outline_Get_Orientation(outline) != FT_ORIENTATION_POSTSCRIPT;
      FT_Outline_Decompose(outline, &funcs, &flat);
      clean(&flat.contours);
    }
    if (metrics) metrics[i] = measure(flat.contours, advance);

    glNewList(static_cast<GLuint>(listBase + i), GL_COMPILE);
    if (!flat.contours.empty()) {
      ok = fillFace(tess, flat.contours, 0.0, 1.0) && ok;
      ok = fillFace(tess, flat.contours, -extrusion, -1.0) && ok;
      buildWalls(flat.contours, extrusion, fillRight);
    }
    glTranslated(advance, 0.0, 0.0);
    glEndList();
  }
  gluDeleteTess(tess);
  return ok;
}

}  // namespace platform
