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
//   cg_translate.cpp   declarations, functions, the entry wrapper
//   cg_statements.cpp  statements
//   cg_expressions.cpp expressions, conversions, constructors, calls
//   cg_intrinsics.cpp  the standard library
//   cg_semantics.cpp   binding semantics -> GLSL built-in variables
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/cg_lexer.h"
#include "platform/cg_translate.h"
#include "platform/cg_types.h"

namespace platform::cg {

// A translated expression.
// Every code is a primary expression of GLSL (a name, a call, a literal or
// something in parentheses) except an assignment, which is marked open.
struct Value {
  CgType type;
  std::string code;
  bool assignable = false;
  bool open = false;
  // The code, in parentheses when it is an assignment.
  std::string primary() const { return open ? "(" + code + ")" : code; }
};

// A named variable, parameter, uniform or constant in scope.
struct Symbol {
  CgType type;
  std::string glsl;
  bool assignable = true;
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

  Translator(const std::vector<Token>& tokens, const std::string& fileName, Stage stage,
             const std::string& entry);

  Translation run();

  // --- tokens (cg_translate.cpp)
  const Token& peek(int ahead = 0) const;
  bool atEnd() const { return peek().kind == Token::END; }
  bool isPunct(const char* p, int ahead = 0) const;
  bool isWord(const char* w, int ahead = 0) const;
  bool accept(const char* punct);
  bool acceptWord(const char* word);
  void expect(const char* punct);
  std::string expectIdentifier(const char* what);
  Token next();

  // --- errors and output (cg_translate.cpp)
  void error(int line, const std::string& message);
  // A syntax error: reported, and the rest of the text is skipped.
  void fail(int line, const std::string& message);
  bool failed() const { return aborted; }
  void emit(const std::string& text, int line);

  // --- names (cg_translate.cpp)
  static std::string glslIdentifier(const std::string& cgName);
  bool isTypeName(int ahead = 0) const;
  // Parses a type name (builtin or struct); error type after a report.
  CgType parseType();
  const Symbol* lookup(const std::string& name) const;
  void declare(const std::string& name, const Symbol& symbol, int line);
  std::string typeName(const CgType& t) const { return glslName(t, structs); }
  std::string cgTypeName(const CgType& t) const { return cgName(t, structs); }

  // --- top level (cg_translate.cpp)
  void parseTopLevel();
  void parseStruct();
  void parseGlobalVariables(const CgType& type, bool uniform, bool isConst);
  // Records a parameter the runtime can find by name.
  void addParameter(const std::string& name, const CgType& type, bool uniform);
  void parseFunction(const CgType& returnType, const std::string& name, int line);
  void emitEntryWrapper();
  std::string entryInput(const CgType& type, const std::string& semantic, int line);
  void entryOutput(const CgType& type, const std::string& semantic, const std::string& code,
                   int line, std::vector<std::string>* usedSemantics);
  std::string parseSemantic();

  // --- statements (cg_statements.cpp)
  void parseBlockBody();
  void parseStatement();
  // A local declaration up to its ';'; for a for-loop's first clause the
  // GLSL goes to forInit instead of a line of its own.
  void parseLocalDeclaration(bool isConst, std::string* forInit);
  bool atDeclaration() const;
  void parseIf(int line);
  void parseFor(int line);
  void parseWhile(int line);
  void parseDoWhile(int line);
  void parseReturn(int line);
  // A condition: any scalar becomes bool.
  std::string parseCondition();

  // --- expressions (cg_expressions.cpp)
  Value parseExpression();
  Value parseAssignment();
  Value parseConditional();
  Value parseBinary(int minPrecedence);
  Value parseUnary();
  Value parsePostfix(Value v);
  Value parsePrimary();
  Value parseConstructor(const CgType& type, int line);
  Value parseCall(const std::string& name, int line);
  std::vector<Value> parseArguments();
  Value binaryOperation(const std::string& op, const Value& a, const Value& b, int line);
  Value assignment(const std::string& op, const Value& target, const Value& v, int line);
  Value memberAccess(const Value& v, const std::string& member, int line);
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
  // clip(x) as a statement (discard when any component is negative).
  bool clipStatement(int line);

  const std::vector<Token>& tokens;
  const std::string fileName;
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
  std::vector<Line> uniformLines;
  std::vector<Line> bodyLines;
};

}  // namespace platform::cg
