// Loops of the Cg translator. The profiles have no branching instructions, so
// every loop must unroll: a for loop with a counter set to a constant,
// compared with a constant and stepped by a constant, that its body leaves
// alone. Its counter then counts as a constant inside the body, for indices.
#include "shader/translate/cg_translator.h"

namespace platform::cg {

namespace {

constexpr long MAX_TRIPS = 256;      // iterations of one loop
constexpr long MAX_UNROLLED = 4096;  // iterations of nested loops together

bool isScalarTypeWord(const std::string& w) {
  return w == "int" || w == "float" || w == "half" || w == "fixed";
}

bool compare(const std::string& op, double a, double b) {
  return op == "<" ? a < b : op == "<=" ? a <= b : op == ">" ? a > b : op == ">=" ? a >= b : a != b;
}

}  // namespace

bool Translator::headerNumber(int* ahead, double* value) const {
  const bool negative = isPunct("-", *ahead);
  if (negative) ++*ahead;
  const Token& t = peek(*ahead);
  if (t.kind == Token::INT_LITERAL || t.kind == Token::FLOAT_LITERAL) {
    *value = t.number;
  } else {
    const Symbol* s = t.kind == Token::IDENTIFIER ? lookup(t.text) : nullptr;
    if (!s || !s->constant) return false;
    *value = s->number;
  }
  if (negative) *value = -*value;
  ++*ahead;
  return true;
}

long Translator::loopTrips(std::string* counter) const {
  int k = 0;
  if (isScalarTypeWord(peek(k).text)) ++k;
  const Token& name = peek(k++);
  double start, bound, step;
  if (name.kind != Token::IDENTIFIER || !isPunct("=", k++) || !headerNumber(&k, &start) ||
      !isPunct(";", k++) || peek(k++).text != name.text)
    return -1;
  const std::string op = peek(k++).text;
  if ((op != "<" && op != "<=" && op != ">" && op != ">=" && op != "!=") ||
      !headerNumber(&k, &bound) || !isPunct(";", k++))
    return -1;
  if (isPunct("++", k) || isPunct("--", k)) {
    step = isPunct("++", k++) ? 1 : -1;
    if (peek(k++).text != name.text) return -1;
  } else {
    if (peek(k++).text != name.text) return -1;
    if (isPunct("++", k) || isPunct("--", k)) {
      step = isPunct("++", k++) ? 1 : -1;
    } else if (isPunct("+=", k) || isPunct("-=", k)) {
      const double sign = isPunct("+=", k++) ? 1 : -1;
      if (!headerNumber(&k, &step)) return -1;
      step *= sign;
    } else {
      return -1;
    }
  }
  if (!isPunct(")", k)) return -1;
  *counter = name.text;
  long trips = 0;
  for (double v = start; compare(op, v, bound) && trips <= MAX_TRIPS; v += step) ++trips;
  return trips;
}

std::string Translator::unrollRule() const {
  return std::string("profile ") + profileName(profile) + " runs only loops it can unroll";
}

void Translator::parseLoopBody(long trips) {
  const long outer = unrolledTrips;
  unrolledTrips *= trips;
  ++indent;
  ++loopDepth;
  scopes.emplace_back();
  parseStatement();
  scopes.pop_back();
  --loopDepth;
  --indent;
  unrolledTrips = outer;
}

void Translator::parseFor(int line) {
  expect("(");
  std::string counter;
  const long trips = loopTrips(&counter);
  if (trips < 0) {
    error(line, unrollRule() +
                    ": a 'for' loop needs a counter set to a constant, compared with a constant "
                    "and stepped by a constant");
  } else if (trips > MAX_TRIPS) {
    error(line, "the loop runs more than " + std::to_string(MAX_TRIPS) + " times; " + unrollRule() +
                    " up to that count");
  } else if (unrolledTrips * trips > MAX_UNROLLED) {
    error(line, "nested loops run more than " + std::to_string(MAX_UNROLLED) + " times together; " +
                    unrollRule() + " up to that count");
  }
  scopes.emplace_back();
  std::string init;
  if (atDeclaration()) {
    bool isConst = false;
    while (isWord("const") || isWord("static")) isConst = next().text == "const" || isConst;
    parseLocalDeclaration(isConst, &init);
  } else if (!accept(";")) {
    init = parseExpression().code;
    expect(";");
  }
  // A counter declared by the loop is a constant of each unrolled copy.
  const auto declared = scopes.back().find(counter);
  if (trips >= 0 && declared != scopes.back().end()) declared->second.loopCounter = true;
  const std::string condition = isPunct(";") ? "" : parseCondition();
  expect(";");
  const std::string step = isPunct(")") ? "" : parseExpression().code;
  expect(")");
  emit("for (" + init + "; " + condition + "; " + step + ") {", line);
  const size_t bodyStart = pos;
  parseLoopBody(std::max(trips, 1L));
  for (size_t i = bodyStart; trips >= 0 && i < pos && i < tokens.size(); ++i) {
    if (tokens[i].kind != Token::IDENTIFIER || tokens[i].text != counter) continue;
    const std::string before = i > 0 ? tokens[i - 1].text : "";
    const std::string after = i + 1 < tokens.size() ? tokens[i + 1].text : "";
    static const char* const writes[] = {"=", "+=", "-=", "*=", "/=", "%=", "++", "--"};
    bool written = before == "++" || before == "--";
    for (const char* w : writes) written = written || after == w;
    if (written) {
      error(tokens[i].line, "the body assigns the loop counter '" + counter + "'; " + unrollRule());
      break;
    }
  }
  emit("}", line);
  scopes.pop_back();
}

// while and do loops end on a value, not a count: refused, then read to the
// end so that the listing goes on after them.
void Translator::parseWhile(int line) {
  error(line, unrollRule() + ": use a 'for' loop with a constant count instead of 'while'");
  expect("(");
  parseCondition();
  expect(")");
  parseLoopBody(1);
}

void Translator::parseDoWhile(int line) {
  error(line, unrollRule() + ": use a 'for' loop with a constant count instead of 'do'");
  parseLoopBody(1);
  if (!acceptWord("while")) {
    fail(peek().line, "expected 'while' after the body of 'do'");
    return;
  }
  expect("(");
  parseCondition();
  expect(")");
  expect(";");
}

}  // namespace platform::cg
