// The translator's working state, shared by its source files (internal).
//
// One Translator translates one program in one pass: it parses the tokens
// with recursive descent and emits GLSL as it goes, checking types on the way
// (an expression yields its type and its GLSL text together). The first
// syntax error ends the parse; type errors are collected (at most
// MAX_ERRORS) and the parse goes on with an error type that raises no
// further complaints. Nesting deeper than MAX_DEPTH is refused, so no input
// can exhaust the stack.
//
//   cg_translate.cpp   tokens, errors, names, structs and globals
//   cg_functions.cpp   functions, the entry wrapper, the whole translation
//   cg_statements.cpp  statements
//   cg_expressions.cpp expressions, conversions, constructors, calls
//   cg_intrinsics.cpp  the standard library
//   cg_semantics.cpp   binding semantics -> GLSL built-in variables
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "shader/language/cg_lexer.h"
#include "shader/language/cg_types.h"
#include "shader/translate/cg_translate.h"

namespace platform::cg {

// A translated expression.
// Every code is a primary expression of GLSL (a name, a call, a literal or
// something in parentheses) except an assignment, which is marked open.
struct Value {
  CgType type;
  std::string code;
  bool assignable = false;
  bool open = false;
  bool constant = false;  // a scalar whose value is known: number
  double number = 0;
  // Known in each unrolled copy of the loops: constants, loop counters and
  // the arithmetic on them.
  bool unrollable = false;
  // The code, in parentheses when it is an assignment.
  std::string primary() const { return open ? "(" + code + ")" : code; }
};

// A named variable, parameter, uniform or constant in scope.
struct Symbol {
  CgType type;
  std::string glsl;
  bool assignable = true;
  bool constant = false;  // a scalar constant whose value is number
  double number = 0;
  bool loopCounter = false;  // the counter of an unrolled loop
};

enum class Direction { IN, OUT, INOUT };

struct Function {
  std::string name;
  CgType returnType;
  std::vector<CgType> paramTypes;
  std::vector<Direction> paramDirections;
  bool defined = false;
  bool called = false;
  bool isEntry = false;
};

// A parameter of the entry function, for the generated main().
struct EntryParam {
  std::string name;
  CgType type;
  Direction direction = Direction::IN;
  std::string semantic;
  bool uniform = false;
  int line = 0;
};

// The GLSL built-in variable a semantic stands for, and its vector size.
struct BuiltinVarying {
  std::string glsl;
  int size = 4;
};

// The built-in a semantic reads (input) or writes (output) in a stage; false
// when the stage has no such semantic in that direction.
bool semanticVarying(Stage stage, bool output, const std::string& semantic, BuiltinVarying* out);

class Translator {
 public:
  static constexpr int MAX_ERRORS = 20;
  static constexpr int MAX_DEPTH = 200;
  static constexpr int MAX_ARRAY_SIZE = 256;
  static constexpr int MAX_PARAMETERS = 4096;

  Translator(const std::vector<Token>& tokens, const std::string& fileName, Profile profile,
             const std::string& entry);

  // Translates the whole token list.
  Translation run();

  // --- tokens (cg_translate.cpp)
  // The token ahead of the current one (END after a syntax error).
  const Token& peek(int ahead = 0) const;
  // True at the end of the text.
  bool atEnd() const { return peek().kind == Token::END; }
  // True when the token ahead is the punctuator p / the word w.
  bool isPunct(const char* p, int ahead = 0) const;
  bool isWord(const char* w, int ahead = 0) const;
  // Consumes the punctuator / word if it is next.
  bool accept(const char* punct);
  bool acceptWord(const char* word);
  // Consumes the punctuator or fails.
  void expect(const char* punct);
  // Consumes a name that is not a reserved word, or fails.
  std::string expectIdentifier(const char* what);
  // Consumes one token.
  Token next();

  // --- errors and output (cg_translate.cpp)
  // Reports an error and goes on.
  void error(int line, const std::string& message);
  // A syntax error: reported, and the rest of the text is skipped.
  void fail(int line, const std::string& message);
  // True after a syntax error (or too many errors).
  bool failed() const { return aborted; }
  // Adds a GLSL line at the current indent, from Cg line `line`.
  void emit(const std::string& text, int line);

  // --- names (cg_translate.cpp)
  // The GLSL name of a Cg name.
  static std::string glslIdentifier(const std::string& cgName);
  // True when the token ahead names a type.
  bool isTypeName(int ahead = 0) const;
  // Parses a type name (builtin or struct); error type after a report.
  CgType parseType();
  // The symbol of a name in the innermost scope that has it, or null.
  const Symbol* lookup(const std::string& name) const;
  // Adds a symbol to the innermost scope; a second one of a name is an error.
  void declare(const std::string& name, const Symbol& symbol, int line);
  // A type's GLSL and Cg spellings, and a GLSL declaration of a name.
  std::string typeName(const CgType& t) const { return glslName(t, structs); }
  std::string declaration(const CgType& t, const std::string& name) const {
    return glslDeclaration(t, name, structs);
  }
  std::string cgTypeName(const CgType& t) const { return cgName(t, structs); }

  // --- top level (cg_translate.cpp, cg_functions.cpp)
  // One declaration at file scope: a struct, a function or global variables.
  void parseTopLevel();
  // A struct definition, emitted as a GLSL struct.
  void parseStruct();
  // Global variables after their type: uniforms or constants.
  void parseGlobalVariables(const CgType& type, bool uniform, bool isConst);
  // The GLSL name of a uniform: its Cg name behind a prefix of the stage, so
  // that a vertex and a fragment uniform of one name stay two uniforms.
  std::string uniformName(const std::string& cgName) const;
  // Records a parameter the runtime can find by name; a uniform array or
  // struct also records its elements and members ("lights[1].color").
  void addParameter(const std::string& name, const CgType& type, bool uniform);
  void addUniformParameters(const std::string& name, const std::string& glsl, const CgType& type,
                            int line);
  // An optional "[N]" after a declared name: the array type of element t.
  CgType parseArraySuffix(const CgType& t, int line);
  // The value after '=' in a declaration of type t: an expression, or for an
  // array a brace-enclosed list of its elements.
  Value parseInitializer(const CgType& t, int line);
  // Checks the profile's limits that only the whole program shows.
  void checkProfileLimits();
  // A function's parameters and body, or its prototype.
  void parseFunction(const CgType& returnType, const std::string& name, int line);
  // The GLSL main(): reads the inputs, calls the entry, writes the outputs.
  void emitEntryWrapper();
  // The GLSL expression that reads a varying input.
  std::string entryInput(const CgType& type, const std::string& semantic, int line);
  // Emits the stores of a varying output into its built-in variables.
  void entryOutput(const CgType& type, const std::string& semantic, const std::string& code,
                   int line, std::vector<std::string>* usedSemantics);
  // The semantic after a ':', upper case.
  std::string parseSemantic();

  // --- statements (cg_statements.cpp)
  // Statements up to and including the closing '}'.
  void parseBlockBody();
  // One statement of any kind.
  void parseStatement();
  // A local declaration up to its ';'; for a for-loop's first clause the
  // GLSL goes to forInit instead of a line of its own.
  void parseLocalDeclaration(bool isConst, std::string* forInit);
  // True when a declaration starts here.
  bool atDeclaration() const;
  // The statements after their keyword.
  void parseIf(int line);
  void parseFor(int line);
  void parseWhile(int line);
  void parseDoWhile(int line);
  // --- loops (cg_loops.cpp)
  // Reads ahead over a for loop's header: its trip count (more than the
  // limit when it does not end) and its counter, or -1 when the header is
  // not counter = constant; counter < constant; a constant step.
  long loopTrips(std::string* counter) const;
  // A number, possibly negative, or a named scalar constant at peek(*ahead).
  bool headerNumber(int* ahead, double* value) const;
  // The body of a loop that runs trips times.
  void parseLoopBody(long trips);
  // "profile P runs only loops it can unroll".
  std::string unrollRule() const;
  void parseReturn(int line);
  // A condition: any scalar becomes bool.
  std::string parseCondition();

  // --- expressions (cg_expressions.cpp), from the loosest binding down
  // Comma-separated expressions.
  Value parseExpression();
  // An assignment or a conditional expression.
  Value parseAssignment();
  // c ? a : b, or what binds tighter.
  Value parseConditional();
  // Binary operators of at least the given precedence.
  Value parseBinary(int minPrecedence);
  // Prefix operators and casts.
  Value parseUnary();
  // Swizzles, fields, indexing and postfix ++ / -- after a primary.
  Value parsePostfix(Value v);
  // Literals, names, calls, constructors and parenthesised expressions.
  Value parsePrimary();
  // A constructor call such as float4(v, 1) after its type.
  Value parseConstructor(const CgType& type, int line);
  // A call of a user function or an intrinsic after its name.
  Value parseCall(const std::string& name, int line);
  // A parenthesised argument list.
  std::vector<Value> parseArguments();
  // The translation of a op b, checked.
  Value binaryOperation(const std::string& op, const Value& a, const Value& b, int line);
  // The translation of target op v (=, +=, ...), checked.
  Value assignment(const std::string& op, const Value& target, const Value& v, int line);
  // A struct field or a swizzle of v.
  Value memberAccess(const Value& v, const std::string& member, int line);
  // A call of a user function, choosing among its overloads.
  Value callUser(const std::string& name, const std::vector<Value>& args, int line);
  // GLSL text of v converted to type t (casts and implicit conversions
  // follow the same rules). Reports and returns v's text when there is none.
  std::string convert(const Value& v, const CgType& t, int line);
  // Numbers convert between bases; a scalar spreads over a vector; vectors
  // and matrices may lose trailing components or rows and columns.
  bool convertible(const CgType& from, const CgType& to) const;

  // --- intrinsics (cg_intrinsics.cpp)
  // Translates a call of a standard function; false when name is none.
  bool callIntrinsic(const std::string& name, const std::vector<Value>& args, int line,
                     Value* result);
  // The GLSL name of a generated helper function, defined once (the
  // definition text is built from the name's parts by the caller).
  std::string helper(const std::string& name, const std::string& definition);
  // An index into an array, vector or matrix of `size` elements: checked
  // when constant, clamped into range when not.
  std::string indexCode(const Value& index, int size, int line);
  // clip(x) as a statement (discard when any component is negative).
  void clipStatement(int line);

  const std::vector<Token>& tokens;
  const std::string fileName;
  const Profile profile;
  const Stage stage;
  const std::string entryName;

  size_t pos = 0;
  bool aborted = false;
  int errorCount = 0;
  int depth = 0;
  std::string listing;

  std::vector<StructInfo> structs;
  std::map<std::string, int> structIndex;
  std::vector<std::map<std::string, Symbol>> scopes;
  std::multimap<std::string, Function> functions;
  std::vector<ParameterInfo> parameters;

  // The function being translated.
  CgType returnType;
  int loopDepth = 0;
  long unrolledTrips = 1;  // iterations of the loops around the current statement
  int indent = 0;

  // The entry function, once seen.
  bool entrySeen = false;
  int entryLine = 0;
  CgType entryReturn;
  std::string entryReturnSemantic;
  std::vector<EntryParam> entryParams;

  struct Line {
    std::string text;
    int line;
  };
  std::vector<Line> structLines;
  std::vector<Line> uniformLines;
  std::vector<Line> helperLines;
  std::vector<Line> bodyLines;
  std::vector<std::string> helperNames;
  // Sampler uniforms in declaration order, with their lines.
  std::vector<std::pair<std::string, int>> samplers;
};

}  // namespace platform::cg
