// Translation of Cg programs to GLSL 1.20, the compiler of the shader runtime.
//
// translateCg takes one program's source text and returns GLSL for the stage
// its profile belongs to, the parameters the runtime can address by name, and
// a listing of what went wrong ("file(line) : error: text", one per line).
// It is a pure function (no GL, no files, no globals) and never fails in any
// other way, whatever the text says; a failed translation has ok = false.
//
// The accepted subset: structs, parameters and return values with binding
// semantics, uniform parameters and global uniforms (also structs, and
// arrays of anything but samplers), float/half/fixed/int/bool scalars,
// vectors (1 to 4) and matrices (2 to 4 each side), samplers (1D, 2D, 3D,
// CUBE), local and static variables, one-dimensional arrays whose size is an
// integer constant (uniform, local, static, fields and parameters; "{...}"
// lists initialise them), user functions with in/out/inout parameters, the
// usual operators, casts, constructors, swizzles, indexing, if/else, for
// loops that unroll (below), break, continue, return, discard, and the
// standard library below. Anything else is a compile error with file and line.
//
// The standard library, Cg -> GLSL 1.20 (x, y, z the arguments; "helper":
// a generated function, so each argument is evaluated once):
//   abs acos asin atan ceil cos degrees exp exp2 floor log log2 radians sign
//   sin sqrt tan pow min max step clamp smoothstep faceforward dot length
//   distance normalize cross reflect refract transpose any all -> the same
//   name; atan2 -> atan(y, x); frac -> fract; rsqrt -> inversesqrt;
//   lerp -> mix; saturate -> clamp(x, 0, 1); mul -> the product with the
//   operands swapped (matrices are held transposed); log10 -> log2(x) *
//   log10(2); ldexp -> x * exp2(y); round -> helper sign(x) * floor(|x| +
//   0.5); trunc -> helper sign(x) * floor(|x|); fmod -> helper x - y *
//   trunc(x / y); sinh, cosh, tanh -> helpers of exp; sincos(x, s, c) ->
//   helper s = sin(x), c = cos(x); modf(x, i) -> helper; lit -> helper
//   (1, max(n.l, 0), n.l < 0 || n.h < 0 ? 0 : n.h^m, 1); clip -> a
//   statement that discards; ddx, ddy -> dFdx, dFdy (fp30 only).
//   tex1D tex2D tex3D texCUBE (1, 2, 3, 3 coordinates) -> texture1D ...
//   textureCube; tex1Dproj (2) tex2Dproj (3, 4) tex3Dproj (4) -> the Proj
//   forms; texCUBEproj -> helper textureCube(s, c.xyz / c.w); tex1Dbias
//   tex2Dbias tex3Dbias texCUBEbias (4: coordinates, bias in w) -> helper
//   with the bias argument. Textures are fetched in fragment programs only.
// Refused, with the reason in the listing: the shadow-compare forms (one
// coordinate more than the plain form), the forms with explicit derivatives
// (GLSL 1.20 has no gradient fetch), the lod forms (GLSL 1.20 chooses levels
// only in vertex shaders, and the vertex profiles fetch no textures),
// texRECT and texRECTproj (no rectangle samplers), determinant, frexp,
// isnan, isinf, isfinite (no GLSL 1.20 equivalent), noise (GLSL's returns 0
// on common drivers), debug, and the pack_ / unpack_ functions (no bit
// packing in GLSL 1.20).
//
// Profiles: a vertex program must write POSITION; derivatives need fp30;
// fp20 has 4 texture units, arbfp1 and fp30 16; vp20 and arbvp1 fetch no
// textures. None of them branches, so every loop must unroll: a for loop
// whose counter starts at a constant, is compared with a constant and
// stepped by a constant, is left alone by the body, and runs at most 256
// times (4096 for nested loops together); while and do loops are refused.
// Fragment profiles index only by constants and loop counters (and sums and
// products of them); vertex profiles by any value. A computed index is
// clamped into its array, vector or matrix (GLSL leaves one out of range
// undefined); a constant one outside is an error.
//
// How the output is built: every Cg name gets the prefix "cg" (so no Cg name
// can meet a GLSL keyword or built-in), uniforms "vu" in vertex and "fu" in
// fragment programs instead (so the two stages' uniforms of one name link as
// two), helpers "lib"; Cg matrices are held transposed so
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
