// Statements of the Cg translator.
#include <cmath>

#include "shader/translate/cg_translator.h"

namespace platform::cg {

namespace {

// Counts nesting while a statement or expression is parsed.
struct DepthGuard {
  explicit DepthGuard(int* depth) : depth(depth) { ++*depth; }
  ~DepthGuard() { --*depth; }
  int* depth;
};

}  // namespace

void Translator::parseBlockBody() {
  while (!failed() && !accept("}")) {
    if (atEnd()) {
      fail(peek().line, "expected '}' before the end of the text");
      return;
    }
    parseStatement();
  }
}

bool Translator::atDeclaration() const {
  if (isWord("const") || isWord("static")) return true;
  return isTypeName() && !isPunct("(", 1);
}

void Translator::parseStatement() {
  DepthGuard guard(&depth);
  const int line = peek().line;
  if (depth > MAX_DEPTH) {
    fail(line, "statements nested too deeply");
    return;
  }
  if (accept("{")) {
    emit("{", line);
    ++indent;
    scopes.emplace_back();
    parseBlockBody();
    scopes.pop_back();
    --indent;
    emit("}", line);
  } else if (accept(";")) {
  } else if (acceptWord("if")) {
    parseIf(line);
  } else if (acceptWord("for")) {
    parseFor(line);
  } else if (acceptWord("while")) {
    parseWhile(line);
  } else if (acceptWord("do")) {
    parseDoWhile(line);
  } else if (acceptWord("return")) {
    parseReturn(line);
  } else if (acceptWord("break") || acceptWord("continue")) {
    const std::string word = tokens[pos - 1].text;
    if (loopDepth == 0) error(line, "'" + word + "' outside a loop");
    expect(";");
    emit(word + ";", line);
  } else if (acceptWord("discard")) {
    if (stage != Stage::FRAGMENT) error(line, "'discard' is only allowed in fragment programs");
    expect(";");
    emit("discard;", line);
  } else if (atDeclaration()) {
    bool isConst = false;
    while (isWord("const") || isWord("static")) isConst = next().text == "const" || isConst;
    parseLocalDeclaration(isConst, nullptr);
  } else if (isWord("clip") && isPunct("(", 1) && !functions.count("clip")) {
    clipStatement(line);
  } else {
    const Value v = parseExpression();
    expect(";");
    emit(v.code + ";", line);
  }
}

void Translator::parseLocalDeclaration(bool isConst, std::string* forInit) {
  const CgType type = parseType();
  if (type.base == Base::VOID) error(peek().line, "a variable cannot be void");
  if (type.isSampler()) error(peek().line, "sampler variables are not supported");
  bool first = true;
  do {
    const int line = peek().line;
    const std::string name = expectIdentifier("a variable name");
    const CgType varType = parseArraySuffix(type, line);
    if (isPunct(":")) fail(line, "semantics on local variables are not supported");
    if (failed()) return;
    if (forInit && varType.isArray()) error(line, "a for loop cannot declare an array");
    const std::string glsl = glslIdentifier(name);
    std::string text = glsl;
    if (varType.isArray()) text += "[" + std::to_string(varType.arraySize) + "]";
    Symbol symbol{varType, glsl, !isConst};
    if (accept("=")) {
      const Value init = parseInitializer(varType, line);
      text += " = " + convert(init, varType, line);
      if (isConst && init.constant && varType.isScalar()) {
        symbol.constant = true;
        symbol.number = varType.base == Base::INT ? std::trunc(init.number) : init.number;
      }
    } else if (isConst) {
      error(line, "constant '" + name + "' needs a value");
    }
    declare(name, symbol, line);
    // Local constants are plain GLSL variables (their values need not be
    // constant expressions); the translator keeps them unassigned.
    if (forInit) {
      *forInit += first ? typeName(type) + " " + text : ", " + text;
    } else {
      emit(typeName(type) + " " + text + ";", line);
    }
    first = false;
  } while (!failed() && accept(","));
  expect(";");
}

std::string Translator::parseCondition() {
  const int line = peek().line;
  const Value v = parseExpression();
  if (!v.type.isError() && !v.type.isScalar()) {
    error(line, "a condition must be a scalar, not " + cgTypeName(v.type));
    return v.code;
  }
  return convert(v, scalarType(Base::BOOL), line);
}

void Translator::parseIf(int line) {
  expect("(");
  const std::string condition = parseCondition();
  expect(")");
  emit("if (" + condition + ") {", line);
  ++indent;
  scopes.emplace_back();
  parseStatement();
  scopes.pop_back();
  --indent;
  if (isWord("else")) {
    const int elseLine = next().line;
    emit("} else {", elseLine);
    ++indent;
    scopes.emplace_back();
    parseStatement();
    scopes.pop_back();
    --indent;
  }
  emit("}", line);
}

void Translator::parseReturn(int line) {
  if (accept(";")) {
    if (returnType.base != Base::VOID && !returnType.isError())
      error(line, "a " + cgTypeName(returnType) + " function must return a value");
    emit("return;", line);
    return;
  }
  const Value v = parseExpression();
  expect(";");
  if (returnType.base == Base::VOID) {
    error(line, "a void function cannot return a value");
    return;
  }
  emit("return " + convert(v, returnType, line) + ";", line);
}

}  // namespace platform::cg
