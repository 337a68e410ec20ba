// Translation of Cg programs to GLSL 1.20, the compiler of the shader runtime.
//
// translateCg takes one program's source text and returns GLSL for the stage
// its profile belongs to, the parameters the runtime can address by name, and
// a listing of what went wrong ("file(line) : error: text", one per line).
// It is a pure function (no GL, no files, no globals) and never fails in any
// other way, whatever the text says; a failed translation has ok = false.
//
// The accepted subset: structs, parameters and return values with binding
// semantics, uniform parameters and global uniforms, float/half/fixed/int/
// bool scalars, vectors (1 to 4) and matrices (2 to 4 each side), samplers
// (1D, 2D, 3D, CUBE), local and static variables, user functions with
// in/out/inout parameters, the usual operators, casts, constructors,
// swizzles, indexing, if/else, for, while, do-while, break, continue,
// return, discard, and the common intrinsics (mul in both orders, tex1D,
// tex2D, tex2Dproj, tex2Dbias, tex3D, texCUBE, dot, cross, normalize, length, lerp,
// saturate, frac, clip, ...). Anything else is a compile error.
//
// How the output is built: every Cg name gets the prefix "cg" (so no Cg name
// can meet a GLSL keyword or built-in), Cg matrices are held transposed so
// that Cg's row-major meaning of indexing, constructors and mul survives
// GLSL's column-major one (uniform matrices are therefore uploaded with
// transpose = GL_TRUE), the entry function becomes an ordinary function, and
// a generated main() feeds it from the built-in inputs its semantics name and
// stores its results in the built-in outputs. Only built-in varyings are used
// (gl_TexCoord[n], gl_FrontColor, ...), so a vertex program and a fragment
// program link together in any pairing, and either also runs with the
// fixed-function pipeline in the other stage.
#pragma once

#include <string>
#include <vector>

namespace platform::cg {

enum class Stage { VERTEX, FRAGMENT };

// The profiles the runtime selects. Each belongs to one stage and limits what
// a program may use: derivatives only under fp30, no texture fetches in the
// vertex profiles, at most 4 samplers under fp20 and 16 under the others.
enum class Profile { VP20, ARBVP1, FP20, ARBFP1, FP30 };

// The stage a profile compiles for.
Stage profileStage(Profile profile);

// The profile's lower-case name ("arbfp1", ...), as the listing spells it.
const char* profileName(Profile profile);

// The profile of a name as profileName spells it; false for any other word.
bool profileFromName(const std::string& name, Profile* profile);

// What kind of value a parameter holds, as far as the runtime needs to know.
struct ParameterInfo {
  enum Kind { UNIFORM, VARYING };
  enum ValueType { NUMBER, SAMPLER1D, SAMPLER2D, SAMPLER3D, SAMPLERCUBE, OTHER };
  std::string name;      // the Cg name
  std::string glslName;  // the GLSL uniform (uniforms only)
  Kind kind = UNIFORM;
  ValueType valueType = NUMBER;
  int rows = 1;       // numbers: matrix rows (1 for scalars and vectors)
  int cols = 1;       // numbers: vector size or matrix columns
  int arraySize = 0;  // elements of an array (each also a parameter, "a[1]"); 0 for none
  bool isFloat = true;
};

struct Translation {
  bool ok = false;
  std::string glsl;
  std::vector<int> lineMap;  // Cg source line of each GLSL line (index 0 = line 1)
  std::vector<ParameterInfo> parameters;
  std::string listing;
};

// Translates source (read from fileName, which only names it in the listing)
// with the given entry function under a profile.
Translation translateCg(const std::string& source, const std::string& fileName, Profile profile,
                        const std::string& entry);

// The same under the most capable profile of a stage (arbvp1, fp30).
Translation translateCg(const std::string& source, const std::string& fileName, Stage stage,
                        const std::string& entry);

// Rewrites a GLSL compiler's log of t.glsl as a listing of the Cg file:
// "0:12(5): error: ..." (and the other usual shapes) becomes
// "file(cg line) : error: ...". Lines it cannot place keep their text.
std::string mapDriverLog(const std::string& log, const Translation& t, const std::string& fileName);

}  // namespace platform::cg
