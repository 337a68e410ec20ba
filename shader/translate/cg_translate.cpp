// Tokens, errors, names, structs and global variables of the Cg translator.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "shader/translate/cg_translator.h"

namespace platform::cg {

namespace {

// Words that cannot name anything in a program.
const char* const RESERVED_WORDS[] = {
    "if",      "else",   "for",     "while",  "do",     "return", "break",    "continue",
    "discard", "struct", "uniform", "in",     "out",    "inout",  "const",    "static",
    "true",    "false",  "typedef", "extern", "inline", "packed", "register", "sampler",
    "switch",  "case",   "default", "goto",   "asm",    "class",  "union",    "enum",
};

bool isReserved(const std::string& word) {
  for (const char* w : RESERVED_WORDS)
    if (word[0] == w[0] && word == w) return true;
  CgType t;
  bool supported;
  return builtinType(word, &t, &supported);
}

}  // namespace

Translator::Translator(const std::vector<Token>& tokens, const std::string& fileName,
                       Profile profile, const std::string& entry)
    : tokens(tokens),
      fileName(fileName),
      profile(profile),
      stage(profileStage(profile)),
      entryName(entry) {}

// ---------------------------------------------------------------- tokens

const Token& Translator::peek(int ahead) const {
  if (aborted) return tokens.back();
  const size_t i = std::min(pos + static_cast<size_t>(ahead), tokens.size() - 1);
  return tokens[i];
}

// The first characters decide most comparisons of the parser's many tests.
bool Translator::isPunct(const char* p, int ahead) const {
  const Token& t = peek(ahead);
  return t.kind == Token::PUNCT && t.text[0] == p[0] && t.text == p;
}

bool Translator::isWord(const char* w, int ahead) const {
  const Token& t = peek(ahead);
  return t.kind == Token::IDENTIFIER && t.text[0] == w[0] && t.text == w;
}

Token Translator::next() {
  Token t = peek();
  if (!aborted && pos < tokens.size() - 1) ++pos;
  return t;
}

bool Translator::accept(const char* punct) {
  if (!isPunct(punct)) return false;
  next();
  return true;
}

bool Translator::acceptWord(const char* word) {
  if (!isWord(word)) return false;
  next();
  return true;
}

void Translator::expect(const char* punct) {
  if (accept(punct)) return;
  const Token& t = peek();
  if (t.kind == Token::INVALID) {
    fail(t.line, t.text);
  } else {
    fail(t.line, std::string("expected '") + punct + "' before " +
                     (t.kind == Token::END ? "the end of the text" : "'" + t.text + "'"));
  }
}

std::string Translator::expectIdentifier(const char* what) {
  const Token& t = peek();
  if (t.kind != Token::IDENTIFIER || isReserved(t.text)) {
    if (t.kind == Token::INVALID) {
      fail(t.line, t.text);
    } else {
      fail(t.line, std::string("expected ") + what + " before " +
                       (t.kind == Token::END ? "the end of the text" : "'" + t.text + "'"));
    }
    return "_";
  }
  if (t.text.find("__") != std::string::npos)
    error(t.line, "identifier '" + t.text + "' contains '__', which GLSL reserves");
  return next().text;
}

// ---------------------------------------------------------------- errors and output

void Translator::error(int line, const std::string& message) {
  if (aborted) return;
  if (++errorCount > MAX_ERRORS) {
    listing += fileName + "(" + std::to_string(line) + ") : error: too many errors, giving up\n";
    aborted = true;
    return;
  }
  listing += fileName + "(" + std::to_string(line) + ") : error: " + message + "\n";
}

void Translator::fail(int line, const std::string& message) {
  error(line, message);
  aborted = true;
}

void Translator::emit(const std::string& text, int line) {
  bodyLines.push_back({std::string(static_cast<size_t>(indent) * 2, ' ') + text, line});
}

// ---------------------------------------------------------------- names

std::string Translator::glslIdentifier(const std::string& cgName) { return "cg" + cgName; }

std::string Translator::uniformName(const std::string& cgName) const {
  // No other name of the output starts this way: Cg names get "cg", helpers "lib".
  return (stage == Stage::VERTEX ? "vu" : "fu") + cgName;
}

CgType Translator::parseArraySuffix(const CgType& t, int line) {
  if (!accept("[")) return t;
  if (isPunct("]")) {
    fail(line, "an array needs a size known at compile time");
    return errorType();
  }
  const Value n = parseExpression();
  expect("]");
  if (isPunct("[")) fail(line, "arrays of arrays are not supported");
  if (failed() || n.type.isError() || t.isError()) return errorType();
  if (!n.constant || !n.type.isScalar() || n.type.base != Base::INT) {
    error(line, "an array size must be an integer constant");
    return errorType();
  }
  if (n.number < 1 || n.number > MAX_ARRAY_SIZE) {
    error(line, "array size " + std::to_string(static_cast<long long>(n.number)) +
                    " is outside 1 to " + std::to_string(MAX_ARRAY_SIZE));
    return errorType();
  }
  if (t.isSampler()) {
    error(line, "arrays of samplers are not supported");
    return errorType();
  }
  CgType r = t;
  r.arraySize = static_cast<int>(n.number);
  return r;
}

Value Translator::parseInitializer(const CgType& t, int line) {
  if (!isPunct("{")) return parseAssignment();
  next();
  if (!t.isArray() && !t.isError()) {
    fail(line, "initializer lists are only supported for arrays");
    return Value{errorType(), "0.0"};
  }
  std::vector<Value> values;
  while (!failed() && !isPunct("}")) {
    values.push_back(parseAssignment());
    if (!accept(",")) break;
  }
  expect("}");
  if (t.isError()) return Value{errorType(), "0.0"};
  const CgType element = elementType(t);
  std::string code = typeName(t) + "(";
  for (size_t i = 0; i < values.size(); ++i) {
    if (values[i].type.isError()) return Value{errorType(), "0.0"};
    code += (i ? ", " : "") + convert(values[i], element, line);
  }
  if (static_cast<int>(values.size()) != t.arraySize) {
    error(line, "the list has " + std::to_string(values.size()) + " values for " + cgTypeName(t));
    return Value{errorType(), "0.0"};
  }
  return Value{t, code + ")"};
}

bool Translator::isTypeName(int ahead) const {
  const Token& t = peek(ahead);
  if (t.kind != Token::IDENTIFIER) return false;
  if (structIndex.count(t.text)) return true;
  CgType type;
  bool supported;
  return builtinType(t.text, &type, &supported);
}

CgType Translator::parseType() {
  const Token t = next();
  if (t.kind == Token::IDENTIFIER) {
    auto s = structIndex.find(t.text);
    if (s != structIndex.end()) return structType(s->second);
    CgType type;
    bool supported;
    if (builtinType(t.text, &type, &supported)) {
      if (!supported) error(t.line, "type '" + t.text + "' is not supported");
      return type;
    }
  }
  fail(t.line, t.kind == Token::INVALID ? t.text : "expected a type before '" + t.text + "'");
  return errorType();
}

const Symbol* Translator::lookup(const std::string& name) const {
  for (auto s = scopes.rbegin(); s != scopes.rend(); ++s) {
    auto found = s->find(name);
    if (found != s->end()) return &found->second;
  }
  return nullptr;
}

void Translator::declare(const std::string& name, const Symbol& symbol, int line) {
  if (scopes.back().count(name)) {
    error(line, "redefinition of '" + name + "'");
    return;
  }
  scopes.back()[name] = symbol;
}

std::string Translator::parseSemantic() {
  const Token t = peek();
  if (t.kind != Token::IDENTIFIER) {
    fail(t.line, "expected a semantic after ':'");
    return "";
  }
  next();
  if (isPunct("(") || isPunct(".")) {
    fail(t.line, "semantic '" + t.text + "' is not supported");
    return "";
  }
  std::string s = t.text;
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// ---------------------------------------------------------------- top level

void Translator::parseTopLevel() {
  const int line = peek().line;
  if (accept(";")) return;
  if (isWord("struct")) {
    parseStruct();
    return;
  }
  bool uniform = false, isStatic = false, isConst = false;
  for (;;) {
    if (acceptWord("uniform")) {
      uniform = true;
    } else if (acceptWord("static")) {
      isStatic = true;
    } else if (acceptWord("const")) {
      isConst = true;
    } else if (!acceptWord("inline") && !acceptWord("extern")) {
      break;
    }
  }
  if (!isTypeName()) {
    const Token& t = peek();
    fail(t.line, t.kind == Token::INVALID ? t.text
                 : t.kind == Token::END   ? "expected a declaration before the end of the text"
                                          : "expected a declaration before '" + t.text + "'");
    return;
  }
  const CgType type = parseType();
  if (peek().kind == Token::IDENTIFIER && isPunct("(", 1)) {
    const std::string name = expectIdentifier("a function name");
    if (uniform || isStatic || isConst) error(line, "qualifiers on a function are not supported");
    parseFunction(type, name, line);
  } else {
    parseGlobalVariables(type, uniform || (!isStatic && !isConst), isConst);
  }
}

void Translator::parseStruct() {
  const int line = next().line;
  const std::string name = expectIdentifier("a struct name");
  expect("{");
  StructInfo info;
  info.name = name;
  while (!failed() && !accept("}")) {
    const CgType type = parseType();
    if (type.base == Base::VOID || type.isSampler())
      error(peek().line, "a struct field cannot be " + cgTypeName(type));
    do {
      const int fieldLine = peek().line;
      const std::string field = expectIdentifier("a field name");
      const CgType fieldType = parseArraySuffix(type, fieldLine);
      const std::string semantic = accept(":") ? parseSemantic() : "";
      for (const StructField& f : info.fields)
        if (f.name == field) error(fieldLine, "duplicate field '" + field + "'");
      info.fields.push_back({field, fieldType, semantic, fieldLine});
    } while (!failed() && accept(","));
    expect(";");
  }
  expect(";");
  if (failed()) return;
  if (info.fields.empty()) error(line, "struct '" + name + "' has no fields");
  structIndex[name] = static_cast<int>(structs.size());
  structs.push_back(info);
  // Structs open the output: uniforms of their types come next.
  structLines.push_back({"struct " + glslIdentifier(name) + " {", line});
  for (const StructField& f : info.fields)
    structLines.push_back({"  " + declaration(f.type, glslIdentifier(f.name)) + ";", f.line});
  structLines.push_back({"};", line});
}

void Translator::parseGlobalVariables(const CgType& type, bool uniform, bool isConst) {
  do {
    const int nameLine = peek().line;
    const std::string name = expectIdentifier("a variable name");
    if (failed()) return;
    const CgType varType = parseArraySuffix(type, nameLine);
    if (accept(":")) {
      parseSemantic();
      error(nameLine, "semantics on global variables are not supported");
    }
    if (type.base == Base::VOID) error(nameLine, "variable '" + name + "' cannot be void");
    if (uniform) {
      if (accept("=")) {
        parseInitializer(varType, nameLine);
        error(nameLine, "initial values of uniforms are not supported");
      }
      const std::string glsl = uniformName(name);
      uniformLines.push_back({"uniform " + declaration(varType, glsl) + ";", nameLine});
      addUniformParameters(name, glsl, varType, nameLine);
      declare(name, {varType, glsl, false}, nameLine);
      continue;
    }
    const std::string glsl = glslIdentifier(name);
    if (type.isSampler()) error(nameLine, "samplers must be uniform");
    // GLSL 1.20 has no constant arrays: a constant array is a variable that
    // the translator never lets the program assign.
    std::string text = (isConst && !varType.isArray() ? "const " : "") + declaration(varType, glsl);
    Symbol symbol{varType, glsl, !isConst};
    if (accept("=")) {
      const Value init = parseInitializer(varType, nameLine);
      text += " = " + convert(init, varType, nameLine);
      if (isConst && init.constant && varType.isScalar()) {
        symbol.constant = true;
        symbol.number = varType.base == Base::INT ? std::trunc(init.number) : init.number;
      }
    } else if (isConst) {
      error(nameLine, "constant '" + name + "' needs a value");
    }
    emit(text + ";", nameLine);
    declare(name, symbol, nameLine);
  } while (!failed() && accept(","));
  expect(";");
}

}  // namespace platform::cg
