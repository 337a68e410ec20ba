// Expressions of the Cg translator: operators, conversions, swizzles,
// constructors and calls.
#include <cmath>
#include <cstring>

#include "shader/translate/cg_translator.h"

namespace platform::cg {

namespace {

struct DepthGuard {
  explicit DepthGuard(int* depth) : depth(depth) { ++*depth; }
  ~DepthGuard() { --*depth; }
  int* depth;
};

// Binding strength of the binary operators; 0 for anything else.
int precedence(const Token& t) {
  if (t.kind != Token::PUNCT) return 0;
  static const struct {
    const char* op;
    int level;
  } table[] = {{"||", 1}, {"&&", 2}, {"|", 3}, {"^", 4},  {"&", 5},  {"==", 6},
               {"!=", 6}, {"<", 7},  {">", 7}, {"<=", 7}, {">=", 7}, {"<<", 8},
               {">>", 8}, {"+", 9},  {"-", 9}, {"*", 10}, {"/", 10}, {"%", 10}};
  for (const auto& e : table)
    if (t.text == e.op) return e.level;
  return 0;
}

Value errorValue(const std::string& code = "0.0") { return Value{errorType(), code, false}; }

// Which index a swizzle letter selects; -1 for none.
int swizzleIndex(char c, bool* rgba) {
  const char* xyzw = std::strchr("xyzw", c);
  if (c && xyzw) {
    *rgba = false;
    return static_cast<int>(xyzw - "xyzw");
  }
  const char* rgbaSet = std::strchr("rgba", c);
  if (c && rgbaSet) {
    *rgba = true;
    return static_cast<int>(rgbaSet - "rgba");
  }
  return -1;
}

}  // namespace

// ---------------------------------------------------------------- conversions

bool Translator::convertible(const CgType& from, const CgType& to) const {
  if (from.isError() || to.isError() || from == to) return true;
  if (!from.isNumeric() || !to.isNumeric()) return false;
  if (to.isMatrix()) return from.isMatrix() && from.rows >= to.rows && from.cols >= to.cols;
  if (from.isMatrix()) return false;
  if (from.isScalar()) return true;  // smeared over a vector
  if (to.isScalar()) return true;    // the first component
  return from.size >= to.size;       // vectors are cut, never grown
}

std::string Translator::convert(const Value& v, const CgType& t, int line) {
  if (v.type.isError() || t.isError() || v.type == t) return v.primary();
  if (!convertible(v.type, t)) {
    error(line, "cannot convert " + cgTypeName(v.type) + " to " + cgTypeName(t));
    return v.code;
  }
  if (t.isMatrix() || v.type.isScalar()) return typeName(t) + "(" + v.code + ")";
  // A vector to a smaller vector or a scalar: keep the first components.
  std::string code = v.primary();
  if (t.size < v.type.size) code += "." + std::string("xyzw", t.size);
  if (t.base != v.type.base) code = typeName(t) + "(" + code + ")";
  return code;
}

// ---------------------------------------------------------------- operators

Value Translator::parseExpression() {
  Value v = parseAssignment();
  while (!failed() && isPunct(",")) {
    next();
    const Value rhs = parseAssignment();
    v = Value{rhs.type, "(" + v.code + ", " + rhs.code + ")", false};
  }
  return v;
}

Value Translator::parseAssignment() {
  DepthGuard guard(&depth);
  const int line = peek().line;
  if (depth > MAX_DEPTH) {
    fail(line, "expression nested too deeply");
    return errorValue();
  }
  const Value target = parseConditional();
  static const char* const ops[] = {
      "=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="};
  for (const char* op : ops) {
    if (isPunct(op)) {
      next();
      const Value v = parseAssignment();
      return assignment(op, target, v, line);
    }
  }
  return target;
}

Value Translator::assignment(const std::string& op, const Value& target, const Value& v, int line) {
  if (target.type.isError() || v.type.isError())
    return errorValue(target.code + " " + op + " " + v.code);
  if (!target.assignable) {
    error(line, "cannot assign to this expression");
    return errorValue();
  }
  if (op == "=")
    return Value{target.type, target.code + " = " + convert(v, target.type, line), false, true};
  if (op != "+=" && op != "-=" && op != "*=" && op != "/=") {
    error(line, "operator '" + op + "' is not supported");
    return errorValue();
  }
  const CgType& t = target.type;
  const CgType& s = v.type;
  bool shapeOk = false;
  if (t.isNumeric() && t.base != Base::BOOL && s.isNumeric() && s.base != Base::BOOL) {
    if (t.isMatrix()) {
      shapeOk = s.isScalar() || (s == t && (op == "+=" || op == "-="));
    } else {
      shapeOk = !s.isMatrix() && (s.isScalar() || s.size == t.size);
    }
  }
  if (!shapeOk) {
    error(line, "operator '" + op + "' cannot combine " + cgTypeName(t) + " and " + cgTypeName(s));
    return errorValue();
  }
  std::string rhs = v.code;
  if (s.base != t.base) rhs = typeName(withBase(s, t.base)) + "(" + rhs + ")";
  return Value{t, target.code + " " + op + " " + rhs, false, true};
}

Value Translator::parseConditional() {
  const int line = peek().line;
  Value c = parseBinary(1);
  if (!isPunct("?")) return c;
  next();
  const Value a = parseExpression();
  expect(":");
  const Value b = parseConditional();
  if (c.type.isError() || a.type.isError() || b.type.isError()) return errorValue();
  if (a.type.isArray() || b.type.isArray()) {
    error(line, "the branches of '?:' cannot be arrays");
    return errorValue();
  }
  if (!c.type.isScalar()) {
    error(line, "the condition of '?:' must be a scalar, not " + cgTypeName(c.type));
    return errorValue();
  }
  const std::string cond = convert(c, scalarType(Base::BOOL), line);
  CgType t = a.type;
  if (a.type != b.type) {
    if (!a.type.isNumeric() || !b.type.isNumeric() || a.type.isMatrix() || b.type.isMatrix() ||
        (a.type.isVector() && b.type.isVector() && a.type.size != b.type.size)) {
      error(line, "the branches of '?:' have different types " + cgTypeName(a.type) + " and " +
                      cgTypeName(b.type));
      return errorValue();
    }
    const Base base = (a.type.base == Base::FLOAT || b.type.base == Base::FLOAT) ? Base::FLOAT
                      : (a.type.base == Base::INT || b.type.base == Base::INT)   ? Base::INT
                                                                                 : Base::BOOL;
    t = vectorType(base, std::max(a.type.size, b.type.size));
  }
  return Value{t, "(" + cond + " ? " + convert(a, t, line) + " : " + convert(b, t, line) + ")",
               false};
}

Value Translator::parseBinary(int minPrecedence) {
  Value lhs = parseUnary();
  for (;;) {
    const Token& t = peek();
    const int level = precedence(t);
    if (level == 0 || level < minPrecedence || failed()) return lhs;
    const std::string op = t.text;
    const int line = t.line;
    next();
    const Value rhs = parseBinary(level + 1);
    lhs = binaryOperation(op, lhs, rhs, line);
  }
}

Value Translator::binaryOperation(const std::string& op, const Value& a, const Value& b, int line) {
  if (a.type.isError() || b.type.isError())
    return errorValue("(" + a.code + " " + op + " " + b.code + ")");
  const CgType& s = a.type;
  const CgType& t = b.type;
  if (op == "%" || op == "&" || op == "|" || op == "^" || op == "<<" || op == ">>") {
    error(line, "operator '" + op + "' is not supported");
    return errorValue();
  }
  if (!s.isNumeric() || !t.isNumeric()) {
    error(line, "operator '" + op + "' cannot combine " + cgTypeName(s) + " and " + cgTypeName(t));
    return errorValue();
  }
  if (op == "&&" || op == "||") {
    if (!s.isScalar() || !t.isScalar()) {
      error(line, "operator '" + op + "' needs scalar operands");
      return errorValue();
    }
    const CgType boolean = scalarType(Base::BOOL);
    return Value{boolean,
                 "(" + convert(a, boolean, line) + " " + op + " " + convert(b, boolean, line) + ")",
                 false};
  }
  const bool comparison = op == "<" || op == ">" || op == "<=" || op == ">=";
  const bool equality = op == "==" || op == "!=";
  const bool arithmetic = !comparison && !equality;
  if ((arithmetic || comparison) && (s.base == Base::BOOL || t.base == Base::BOOL)) {
    error(line, "operator '" + op + "' is not defined for bool values");
    return errorValue();
  }
  // The common base: float beats int beats bool.
  const Base base = (s.base == Base::FLOAT || t.base == Base::FLOAT) ? Base::FLOAT
                    : (s.base == Base::INT || t.base == Base::INT)   ? Base::INT
                                                                     : Base::BOOL;
  auto rebased = [&](const Value& v) {
    return v.type.base == base ? v.code : typeName(withBase(v.type, base)) + "(" + v.code + ")";
  };
  if (s.isMatrix() || t.isMatrix()) {
    const bool sameShape = s.isMatrix() && t.isMatrix() && s.rows == t.rows && s.cols == t.cols;
    const bool withScalar = (s.isMatrix() && t.isScalar()) || (t.isMatrix() && s.isScalar());
    if (!arithmetic || !(sameShape || withScalar)) {
      error(line, std::string("operator '") + op + "' cannot combine " + cgTypeName(s) + " and " +
                      cgTypeName(t) + (op == "*" ? "; use mul() for matrix products" : ""));
      return errorValue();
    }
    const CgType result = withBase(s.isMatrix() ? s : t, Base::FLOAT);
    if (sameShape && op == "*")
      return Value{result, "matrixCompMult(" + a.code + ", " + b.code + ")", false};
    return Value{result, "(" + rebased(a) + " " + op + " " + rebased(b) + ")", false};
  }
  if (s.isVector() && t.isVector() && s.size != t.size) {
    error(line, "operator '" + op + "' cannot combine " + cgTypeName(s) + " and " + cgTypeName(t));
    return errorValue();
  }
  const int size = std::max(s.size, t.size);
  if (arithmetic) {
    Value r{vectorType(base, size), "(" + rebased(a) + " " + op + " " + rebased(b) + ")", false};
    // Scalar constants fold, so that sizes and indices can be computed.
    r.unrollable = a.unrollable && b.unrollable;
    if (a.constant && b.constant && size == 1 && (op != "/" || b.number != 0)) {
      r.constant = true;
      r.number = op == "+"   ? a.number + b.number
                 : op == "-" ? a.number - b.number
                 : op == "*" ? a.number * b.number
                             : a.number / b.number;
      if (base == Base::INT) r.number = std::trunc(r.number);
    }
    return r;
  }
  if (size == 1)
    return Value{scalarType(Base::BOOL), "(" + rebased(a) + " " + op + " " + rebased(b) + ")",
                 false};
  // Vectors compare component by component.
  static const struct {
    const char* op;
    const char* fn;
  } fns[] = {{"<", "lessThan"},          {">", "greaterThan"}, {"<=", "lessThanEqual"},
             {">=", "greaterThanEqual"}, {"==", "equal"},      {"!=", "notEqual"}};
  const char* fn = "equal";
  for (const auto& f : fns)
    if (op == f.op) fn = f.fn;
  const CgType vec = vectorType(base, size);
  const Value ra{withBase(s, base), rebased(a), false};
  const Value rb{withBase(t, base), rebased(b), false};
  return Value{vectorType(Base::BOOL, size),
               std::string(fn) + "(" + convert(ra, vec, line) + ", " + convert(rb, vec, line) + ")",
               false};
}

Value Translator::parseUnary() {
  DepthGuard guard(&depth);
  const int line = peek().line;
  if (depth > MAX_DEPTH) {
    fail(line, "expression nested too deeply");
    return errorValue();
  }
  if (accept("-") || accept("+")) {
    const bool negate = tokens[pos - 1].text == "-";
    const Value v = parseUnary();
    if (v.type.isError()) return v;
    if (!v.type.isNumeric() || v.type.base == Base::BOOL) {
      error(line, "unary '" + std::string(negate ? "-" : "+") + "' needs a number");
      return errorValue();
    }
    return Value{v.type,     negate ? "(-" + v.code + ")" : v.code, false,       false,
                 v.constant, negate ? -v.number : v.number,         v.unrollable};
  }
  if (accept("!")) {
    const Value v = parseUnary();
    if (v.type.isError()) return v;
    if (!v.type.isNumeric() || v.type.isMatrix()) {
      error(line, "'!' needs a scalar or vector");
      return errorValue();
    }
    const CgType b = withBase(v.type, Base::BOOL);
    const std::string code = convert(v, b, line);
    return Value{b, b.isScalar() ? "(!" + code + ")" : "not(" + code + ")", false};
  }
  if (accept("~")) {
    error(line, "operator '~' is not supported");
    parseUnary();
    return errorValue();
  }
  if (accept("++") || accept("--")) {
    const std::string op = tokens[pos - 1].text;
    const Value v = parseUnary();
    if (v.type.isError()) return v;
    if (!v.assignable || !v.type.isNumeric() || v.type.base == Base::BOOL) {
      error(line, "'" + op + "' needs an assignable number");
      return errorValue();
    }
    return Value{v.type, "(" + op + v.code + ")", false};
  }
  if (isPunct("(") && isTypeName(1) && isPunct(")", 2)) {
    next();
    const CgType type = parseType();
    next();
    const Value v = parseUnary();
    return Value{type, convert(v, type, line), false};
  }
  return parsePostfix(parsePrimary());
}

Value Translator::parsePostfix(Value v) {
  for (;;) {
    const int line = peek().line;
    if (failed()) return v;
    if (accept(".")) {
      const Token t = next();
      if (t.kind != Token::IDENTIFIER) {
        fail(t.line, "expected a field or swizzle after '.'");
        return errorValue();
      }
      v = memberAccess(v, t.text, line);
    } else if (accept("[")) {
      const Value index = parseExpression();
      expect("]");
      if (v.type.isError() || index.type.isError()) {
        v = errorValue();
        continue;
      }
      if (!index.type.isScalar() || index.type.base == Base::BOOL) {
        error(line, "an index must be an int or float scalar");
        v = errorValue();
        continue;
      }
      if (v.type.isArray()) {
        v = Value{elementType(v.type),
                  v.code + "[" + indexCode(index, v.type.arraySize, line) + "]", v.assignable};
      } else if (v.type.isVector()) {
        v = Value{scalarType(v.type.base), v.code + "[" + indexCode(index, v.type.size, line) + "]",
                  v.assignable};
      } else if (v.type.isMatrix()) {
        // Row i of the Cg matrix is column i of the GLSL one.
        v = Value{vectorType(Base::FLOAT, v.type.cols),
                  v.code + "[" + indexCode(index, v.type.rows, line) + "]", v.assignable};
      } else {
        error(line, "cannot index " + cgTypeName(v.type));
        v = errorValue();
      }
    } else if (isPunct("++") || isPunct("--")) {
      const std::string op = next().text;
      if (v.type.isError()) continue;
      if (!v.assignable || !v.type.isNumeric() || v.type.base == Base::BOOL) {
        error(line, "'" + op + "' needs an assignable number");
        v = errorValue();
        continue;
      }
      v = Value{v.type, "(" + v.code + op + ")", false};
    } else {
      return v;
    }
  }
}

std::string Translator::indexCode(const Value& index, int size, int line) {
  if (index.constant) {
    const double n = std::trunc(index.number);
    if (n < 0 || n >= size) {
      error(line, "index " + std::to_string(static_cast<long long>(n)) + " is outside 0 to " +
                      std::to_string(size - 1));
      return "0";
    }
    return std::to_string(static_cast<long long>(n));
  }
  // Fragment profiles address no registers by a computed index.
  if (stage == Stage::FRAGMENT && !index.unrollable && !index.type.isError())
    error(line, std::string("profile ") + profileName(profile) +
                    " indexes only by constants and loop counters");
  // GLSL 1.20 leaves an index out of range undefined: keep it inside.
  return "int(clamp(" + convert(index, scalarType(Base::FLOAT), line) + ", 0.0, " +
         floatLiteral(size - 1) + "))";
}

Value Translator::memberAccess(const Value& v, const std::string& member, int line) {
  if (v.type.isError()) return v;
  if (v.type.isStruct()) {
    for (const StructField& f : structs[v.type.structIndex].fields)
      if (f.name == member)
        return Value{f.type, v.code + "." + glslIdentifier(f.name), v.assignable};
    error(line, "'" + cgTypeName(v.type) + "' has no field '" + member + "'");
    return errorValue();
  }
  if (!v.type.isNumeric() || v.type.isMatrix()) {
    error(line, "cannot select '" + member + "' from " + cgTypeName(v.type));
    return errorValue();
  }
  bool rgba = false;
  bool repeats = false;
  int seen = 0;
  bool ok = member.size() >= 1 && member.size() <= 4;
  for (size_t i = 0; ok && i < member.size(); ++i) {
    bool set;
    const int index = swizzleIndex(member[i], &set);
    if (index < 0 || index >= v.type.size || (i > 0 && set != rgba)) ok = false;
    if (i == 0) rgba = set;
    if (index >= 0) {
      repeats = repeats || (seen & (1 << index));
      seen |= 1 << index;
    }
  }
  if (!ok) {
    error(line, "invalid swizzle '" + member + "' of " + cgTypeName(v.type));
    return errorValue();
  }
  const int n = static_cast<int>(member.size());
  if (v.type.isScalar())
    return n == 1 ? v
                  : Value{vectorType(v.type.base, n),
                          typeName(vectorType(v.type.base, n)) + "(" + v.code + ")", false};
  return Value{vectorType(v.type.base, n), v.code + "." + member, v.assignable && !repeats};
}

// ---------------------------------------------------------------- primaries

Value Translator::parsePrimary() {
  const Token t = peek();
  if (t.kind == Token::INT_LITERAL) {
    next();
    if (t.number > 2147483647.0) {
      error(t.line, "integer constant '" + t.text + "' is too large");
      return errorValue();
    }
    return Value{scalarType(Base::INT),
                 std::to_string(static_cast<long long>(t.number)),
                 false,
                 false,
                 true,
                 t.number,
                 true};
  }
  if (t.kind == Token::FLOAT_LITERAL) {
    next();
    if (!std::isfinite(t.number) || t.number > 3.4e38) {
      error(t.line, "floating-point constant '" + t.text + "' is out of range");
      return errorValue();
    }
    return Value{
        scalarType(Base::FLOAT), floatLiteral(t.number), false, false, true, t.number, true};
  }
  if (accept("(")) {
    const Value v = parseExpression();
    expect(")");
    return Value{v.type, v.primary(), v.assignable, false, v.constant, v.number, v.unrollable};
  }
  if (t.kind == Token::IDENTIFIER) {
    if (t.text == "true" || t.text == "false") {
      next();
      return Value{scalarType(Base::BOOL), t.text, false};
    }
    if (isTypeName()) {
      if (!isPunct("(", 1)) {
        fail(t.line, "unexpected type name '" + t.text + "'");
        return errorValue();
      }
      const CgType type = parseType();
      return parseConstructor(type, t.line);
    }
    if (isPunct("(", 1)) {
      next();
      return parseCall(t.text, t.line);
    }
    const Symbol* s = lookup(t.text);
    if (!s) {
      const std::string name = expectIdentifier("an expression");
      if (!failed()) error(t.line, "undefined variable '" + name + "'");
      return errorValue();
    }
    next();
    return Value{s->type,
                 s->glsl,
                 s->assignable,
                 false,
                 s->constant,
                 s->number,
                 s->constant || s->loopCounter};
  }
  fail(t.line, t.kind == Token::INVALID ? t.text
               : t.kind == Token::END   ? "expected an expression before the end of the text"
                                        : "expected an expression before '" + t.text + "'");
  return errorValue();
}

std::vector<Value> Translator::parseArguments() {
  std::vector<Value> args;
  expect("(");
  if (accept(")")) return args;
  do {
    args.push_back(parseAssignment());
  } while (!failed() && accept(","));
  expect(")");
  return args;
}

Value Translator::parseConstructor(const CgType& type, int line) {
  const std::vector<Value> args = parseArguments();
  if (type.isError()) return errorValue();
  for (const Value& a : args)
    if (a.type.isError()) return errorValue();
  if (type.base == Base::STRUCT || !type.isNumeric()) {
    error(line, "cannot construct " + cgTypeName(type) + " with a constructor");
    return errorValue();
  }
  const Value* matrix = nullptr;
  int components = 0;
  for (const Value& a : args) {
    if (!a.type.isNumeric()) {
      error(line, "cannot build " + cgTypeName(type) + " from " + cgTypeName(a.type));
      return errorValue();
    }
    if (a.type.isMatrix()) matrix = &a;
    components += a.type.components();
  }
  std::string code = typeName(type) + "(";
  for (size_t i = 0; i < args.size(); ++i) code += (i ? ", " : "") + args[i].code;
  code += ")";
  if (type.isMatrix()) {
    if (matrix && args.size() == 1) {
      if (matrix->type.rows < type.rows || matrix->type.cols < type.cols) {
        error(line,
              "cannot build " + cgTypeName(type) + " from the smaller " + cgTypeName(matrix->type));
        return errorValue();
      }
      return Value{type, code, false};
    }
    if (matrix || components != type.components()) {
      error(line, cgTypeName(type) + " needs " + std::to_string(type.components()) +
                      " values, not " + std::to_string(components));
      return errorValue();
    }
    return Value{type, code, false};
  }
  if (matrix) {
    error(line, "cannot build " + cgTypeName(type) + " from a matrix");
    return errorValue();
  }
  const bool smear = args.size() == 1 && args[0].type.isScalar();
  const bool exact = components == type.size;
  const bool first = type.isScalar() && args.size() == 1;
  if (!smear && !exact && !first) {
    error(line, cgTypeName(type) + " needs " + std::to_string(type.size) + " values, not " +
                    std::to_string(components));
    return errorValue();
  }
  return Value{type, code, false};
}

Value Translator::parseCall(const std::string& name, int line) {
  const std::vector<Value> args = parseArguments();
  if (failed()) return errorValue();
  if (lookup(name)) {
    error(line, "'" + name + "' is a variable, not a function");
    return errorValue();
  }
  if (functions.count(name)) return callUser(name, args, line);
  Value result;
  if (callIntrinsic(name, args, line, &result)) return result;
  error(line, "undefined function '" + name + "'");
  return errorValue();
}

Value Translator::callUser(const std::string& name, const std::vector<Value>& args, int line) {
  for (const Value& a : args)
    if (a.type.isError()) return errorValue();
  Function* chosen = nullptr;
  bool exactFound = false;
  auto range = functions.equal_range(name);
  for (auto it = range.first; it != range.second; ++it) {
    Function& f = it->second;
    if (f.paramTypes.size() != args.size()) continue;
    bool exact = true, usable = true;
    for (size_t i = 0; i < args.size(); ++i) {
      const bool written = f.paramDirections[i] != Direction::IN;
      exact = exact && args[i].type == f.paramTypes[i];
      usable = usable && (written ? args[i].type == f.paramTypes[i]
                                  : convertible(args[i].type, f.paramTypes[i]));
    }
    if (exact && !exactFound) {
      chosen = &f;
      exactFound = true;
    } else if (usable && !chosen) {
      chosen = &f;
    }
  }
  if (!chosen) {
    error(line, "no version of '" + name + "' takes these arguments");
    return errorValue();
  }
  if (chosen->isEntry) {
    error(line, "the entry function cannot be called");
    return errorValue();
  }
  chosen->called = true;
  std::string code = glslIdentifier(name) + "(";
  for (size_t i = 0; i < args.size(); ++i) {
    if (chosen->paramDirections[i] != Direction::IN && !args[i].assignable)
      error(line, "argument " + std::to_string(i + 1) + " of '" + name + "' must be assignable");
    code += (i ? ", " : "") + convert(args[i], chosen->paramTypes[i], line);
  }
  return Value{chosen->returnType, code + ")", false};
}

}  // namespace platform::cg
