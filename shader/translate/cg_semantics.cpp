// Binding semantics and the GLSL built-in variables they stand for.
#include <cctype>

#include "shader/translate/cg_translator.h"

namespace platform::cg {

namespace {

struct Entry {
  const char* semantic;  // without its number
  int number;            // the number it stands for; -1: TEXCOORD-like, 0 to 7
  const char* glsl;      // "%d" is replaced by the number
  int size;
};

// Vertex program inputs: the vertex attributes of the fixed-function API.
const Entry VERTEX_IN[] = {
    {"POSITION", 0, "gl_Vertex", 4},
    {"NORMAL", 0, "gl_Normal", 3},
    {"COLOR", 0, "gl_Color", 4},
    {"DIFFUSE", 0, "gl_Color", 4},
    {"COLOR", 1, "gl_SecondaryColor", 4},
    {"SPECULAR", 0, "gl_SecondaryColor", 4},
    {"TEXCOORD", -1, "gl_MultiTexCoord%d", 4},
    {"FOGCOORD", 0, "gl_FogCoord", 1},
};

// Vertex program outputs, which fixed-function fragments also read.
const Entry VERTEX_OUT[] = {
    {"POSITION", 0, "gl_Position", 4},
    {"HPOS", 0, "gl_Position", 4},
    {"COLOR", 0, "gl_FrontColor", 4},
    {"COL", 0, "gl_FrontColor", 4},
    {"COLOR", 1, "gl_FrontSecondaryColor", 4},
    {"COL", 1, "gl_FrontSecondaryColor", 4},
    {"BCOL", 0, "gl_BackColor", 4},
    {"BCOL", 1, "gl_BackSecondaryColor", 4},
    {"TEXCOORD", -1, "gl_TexCoord[%d]", 4},
    {"TEX", -1, "gl_TexCoord[%d]", 4},
    {"PSIZE", 0, "gl_PointSize", 1},
    {"PSIZ", 0, "gl_PointSize", 1},
    {"FOG", 0, "gl_FogFragCoord", 1},
    {"FOGC", 0, "gl_FogFragCoord", 1},
};

// Fragment program inputs, as a vertex program or the fixed function left them.
const Entry FRAGMENT_IN[] = {
    {"COLOR", 0, "gl_Color", 4},
    {"COL", 0, "gl_Color", 4},
    {"COLOR", 1, "gl_SecondaryColor", 4},
    {"COL", 1, "gl_SecondaryColor", 4},
    {"TEXCOORD", -1, "gl_TexCoord[%d]", 4},
    {"TEX", -1, "gl_TexCoord[%d]", 4},
    {"WPOS", 0, "gl_FragCoord", 4},
    {"POSITION", 0, "gl_FragCoord", 4},
    {"FOG", 0, "gl_FogFragCoord", 1},
    {"FOGC", 0, "gl_FogFragCoord", 1},
};

const Entry FRAGMENT_OUT[] = {
    {"COLOR", 0, "gl_FragColor", 4},
    {"COL", 0, "gl_FragColor", 4},
    {"DEPTH", 0, "gl_FragDepth", 1},
    {"DEPR", 0, "gl_FragDepth", 1},
};

template <size_t N>
bool find(const Entry (&table)[N], const std::string& name, int number, BuiltinVarying* out) {
  for (const Entry& e : table) {
    if (name != e.semantic) continue;
    if (e.number == -1 && number >= 0 && number < 8) {
      std::string glsl = e.glsl;
      glsl.replace(glsl.find("%d"), 2, std::to_string(number));
      *out = BuiltinVarying{glsl, e.size};
      return true;
    }
    if (e.number == number) {
      *out = BuiltinVarying{e.glsl, e.size};
      return true;
    }
  }
  return false;
}

}  // namespace

bool semanticVarying(Stage stage, bool output, const std::string& semantic, BuiltinVarying* out) {
  // "TEXCOORD3" is TEXCOORD number 3; without a number it is number 0.
  size_t digits = semantic.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(semantic[digits - 1]))) --digits;
  const std::string name = semantic.substr(0, digits);
  int number = 0;
  if (digits < semantic.size()) {
    if (semantic.size() - digits > 2) return false;
    number = std::stoi(semantic.substr(digits));
  }
  if (stage == Stage::VERTEX) {
    return output ? find(VERTEX_OUT, name, number, out) : find(VERTEX_IN, name, number, out);
  }
  return output ? find(FRAGMENT_OUT, name, number, out) : find(FRAGMENT_IN, name, number, out);
}

}  // namespace platform::cg
