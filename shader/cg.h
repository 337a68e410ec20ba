// The shader runtime: a Cg-style API over GLSL 1.20.
//
// Call order: cgSetErrorCallback, cgCreateContext; cgGLIsProfileSupported to
// choose profiles; cgCreateProgramFromFile (reads and translates the source
// under the profile's limits: no GL needed) then cgGLLoadProgram (compiles
// it on the current GL context and links it); per frame
// cgGLSetStateMatrixParameter / cgGLSetTextureParameter / the numeric setters,
// cgGLEnableProfile + cgGLBindProgram, cgGLEnableTextureParameter, draw,
// cgGLDisableTextureParameter, cgGLDisableProfile; cgDestroyProgram at the
// end. Everything runs on the thread of the GL context.
//
// Programs and pairs: Cg compiles a vertex and a fragment program separately
// but GLSL runs one linked program. Each profile (vertex, fragment) has an
// enabled flag and a bound program; whenever either changes, the runtime
// makes current the GLSL program for what is enabled and bound: the linked
// pair when both stages are, a program of the lone stage when only one is
// (GLSL's compatibility pipeline runs the fixed function in the other
// stage), and no program when neither is. Loading a program links it alone
// and with every loaded program of the other stage in its context (a pair
// that fails to link raises CG_PROGRAM_LOAD_ERROR then, with the linker's
// log in the listing); linked programs are cached per pair and dropped when
// one of their programs is loaded again or destroyed. Uniforms keep apart
// per stage: a vertex and a fragment uniform of one name are two values.
// Parameters are named as in Cg: "lights", "lights[1]", "lights[1].color".
// Parameter values belong to the Cg program and are kept here: they are
// uploaded when a linked program becomes current and at once when set while
// their program is current. Samplers of a fragment program use texture units
// 0, 1, ... in the order they are declared; those of a vertex program units
// 8, 9, ...; enabling a texture parameter binds its texture on its unit (the
// active unit is restored), disabling it binds none there.
//
// Ownership: the runtime owns contexts, programs and parameters; handles are
// numbers that are never reused, so a stale handle is refused, not followed.
// Failures: calls return null / false and record an error, after which the
// error callback runs (if one is set); cgGetError returns the error once.
// The listing of the last compilation, load or link of a context says what
// went wrong, with file and line.
#pragma once

typedef struct CgContextHandle* CGcontext;
typedef struct CgProgramHandle* CGprogram;
typedef struct CgParameterHandle* CGparameter;
typedef int CGbool;
typedef void (*CGerrorCallbackFunc)();

enum CGprofile : int {
  CG_PROFILE_VP20 = 6146,
  CG_PROFILE_FP20 = 6147,
  CG_PROFILE_FP30 = 6149,
  CG_PROFILE_ARBVP1 = 6150,
  CG_PROFILE_ARBFP1 = 7000,
  CG_PROFILE_UNKNOWN = 0xFFFF,
};

enum CGenum : int { CG_SOURCE = 1, CG_OBJECT = 2 };

enum CGerror : int {
  CG_NO_ERROR = 0,
  CG_COMPILER_ERROR,
  CG_FILE_READ_ERROR,
  CG_INVALID_ENUMERANT_ERROR,
  CG_INVALID_PROFILE_ERROR,
  CG_INVALID_CONTEXT_HANDLE_ERROR,
  CG_INVALID_PROGRAM_HANDLE_ERROR,
  CG_INVALID_PARAM_HANDLE_ERROR,
  CG_INVALID_PARAMETER_ERROR,
  CG_NOT_MATRIX_PARAM_ERROR,
  CG_PROGRAM_NOT_LOADED_ERROR,
  CG_PROGRAM_LOAD_ERROR,
  CG_PROGRAM_BIND_ERROR,
  CG_ARRAY_PARAM_ERROR,
  CG_OUT_OF_ARRAY_BOUNDS_ERROR,
};

enum CGGLenum : int {
  CG_GL_MATRIX_IDENTITY = 0,
  CG_GL_MATRIX_TRANSPOSE,
  CG_GL_MATRIX_INVERSE,
  CG_GL_MATRIX_INVERSE_TRANSPOSE,
  CG_GL_MODELVIEW_MATRIX,
  CG_GL_PROJECTION_MATRIX,
  CG_GL_TEXTURE_MATRIX,
  CG_GL_MODELVIEW_PROJECTION_MATRIX,
};

// A new, empty context.
CGcontext cgCreateContext();

// The function called after every error; null for none.
void cgSetErrorCallback(CGerrorCallbackFunc callback);

// The last error, which is then cleared (CG_NO_ERROR when there was none).
CGerror cgGetError();

// An English description of an error code.
const char* cgGetErrorString(CGerror error);

// What the last compilation, load or link in the context reported; null when
// there is nothing to report. Valid until the next call into the runtime.
const char* cgGetLastListing(CGcontext context);

// Reads a source file and translates it for the profile's stage; entry null
// means "main"; compiler arguments are ignored. Null on failure.
CGprogram cgCreateProgramFromFile(CGcontext context, CGenum programType, const char* file,
                                  CGprofile profile, const char* entry, const char** args);

// Frees a program, its parameters and its GL objects.
void cgDestroyProgram(CGprogram program);

// A parameter of the program by its Cg name; null when there is none.
CGparameter cgGetNamedParameter(CGprogram program, const char* name);

// True when the current GL context has what the profile needs: the
// extension of the profile itself and GLSL for its stage.
CGbool cgGLIsProfileSupported(CGprofile profile);

// Compiles the program's GLSL on the current GL context.
void cgGLLoadProgram(CGprogram program);

// Switches a profile's stage on or off.
void cgGLEnableProfile(CGprofile profile);
void cgGLDisableProfile(CGprofile profile);

// Makes a loaded program the one of its profile's stage.
void cgGLBindProgram(CGprogram program);

// Loads a float4x4 parameter with a GL matrix as it is at this call,
// optionally transposed and/or inverted.
void cgGLSetStateMatrixParameter(CGparameter param, CGGLenum matrix, CGGLenum transform);

// Numeric values. A float, int or bool scalar or vector uniform takes the
// first components given (the others keep theirs); a sampler, a varying, a
// struct or an array raises CG_INVALID_PARAMETER_ERROR.
void cgGLSetParameter1f(CGparameter param, float x);
void cgGLSetParameter2f(CGparameter param, float x, float y);
void cgGLSetParameter3f(CGparameter param, float x, float y, float z);
void cgGLSetParameter4f(CGparameter param, float x, float y, float z, float w);
// The same from an array of 1 to 4 floats.
void cgGLSetParameter1fv(CGparameter param, const float* v);
void cgGLSetParameter2fv(CGparameter param, const float* v);
void cgGLSetParameter3fv(CGparameter param, const float* v);
void cgGLSetParameter4fv(CGparameter param, const float* v);
// Elements offset .. offset + count - 1 of an array of scalars or vectors
// (count 0: to the end), N floats per element. Not an array:
// CG_ARRAY_PARAM_ERROR; elements outside it: CG_OUT_OF_ARRAY_BOUNDS_ERROR.
void cgGLSetParameterArray1f(CGparameter param, long offset, long count, const float* v);
void cgGLSetParameterArray2f(CGparameter param, long offset, long count, const float* v);
void cgGLSetParameterArray3f(CGparameter param, long offset, long count, const float* v);
void cgGLSetParameterArray4f(CGparameter param, long offset, long count, const float* v);
// A float matrix uniform of any size from its values column by column (fc)
// or row by row (fr); another parameter raises CG_NOT_MATRIX_PARAM_ERROR.
void cgGLSetMatrixParameterfc(CGparameter param, const float* m);
void cgGLSetMatrixParameterfr(CGparameter param, const float* m);
// Elements of an array of matrices, as cgGLSetParameterArray4f counts them.
void cgGLSetMatrixParameterArrayfc(CGparameter param, long offset, long count, const float* m);
void cgGLSetMatrixParameterArrayfr(CGparameter param, long offset, long count, const float* m);

// Records the GL texture of a sampler parameter.
void cgGLSetTextureParameter(CGparameter param, unsigned int texture);

// Binds (or unbinds) a sampler parameter's texture on its texture unit.
void cgGLEnableTextureParameter(CGparameter param);
void cgGLDisableTextureParameter(CGparameter param);

namespace platform {

// Replaces the GL extension list that profile support is decided from, for
// tests that need other hardware; null returns to the GL context's own list.
// The caller keeps the string alive while it is installed.
void setProfileExtensions(const char* extensions);

}  // namespace platform
