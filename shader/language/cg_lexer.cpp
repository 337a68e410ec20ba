#include "shader/language/cg_lexer.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace platform::cg {

namespace {

// Punctuators, longest first so that the first match is the right one.
const char* const PUNCTUATORS[] = {
    "<<=", ">>=", "++", "--", "+=", "-=", "*=", "/=", "%=", "==", "!=", "<=", ">=", "&&", "||",
    "<<",  ">>",  "&=", "|=", "^=", "::", "(",  ")",  "{",  "}",  "[",  "]",  ";",  ",",  ".",
    ":",   "?",   "+",  "-",  "*",  "/",  "%",  "=",  "<",  ">",  "!",  "&",  "|",  "^",  "~",
};

bool isIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

class Lexer {
 public:
  explicit Lexer(const std::string& source) : src(source) {}

  std::vector<Token> run() {
    // Few reallocations: most tokens take four characters or more with the
    // space around them (the vector still grows when they do not).
    tokens.reserve(src.size() / 4 + 1);
    // The parser stops at the first INVALID token, so nothing after it is read.
    while (skipSpaceAndComments() && (tokens.empty() || tokens.back().kind != Token::INVALID)) {
      const char c = src[pos];
      if (isIdentStart(c)) {
        identifier();
      } else if (isDigit(c) || (c == '.' && isDigit(at(pos + 1)))) {
        number();
      } else if (c == '#') {
        invalid("preprocessor directives are not supported");
        while (pos < src.size() && src[pos] != '\n') ++pos;
      } else if (c == '"') {
        invalid("strings are not supported");
        ++pos;
        while (pos < src.size() && src[pos] != '"' && src[pos] != '\n') ++pos;
        if (pos < src.size() && src[pos] == '"') ++pos;
      } else {
        punctuator();
      }
    }
    Token end;
    end.kind = Token::END;
    end.line = line;
    tokens.push_back(end);
    return std::move(tokens);
  }

 private:
  char at(size_t i) const { return i < src.size() ? src[i] : '\0'; }

  // Skips blanks and comments; false at the end of the text.
  bool skipSpaceAndComments() {
    while (pos < src.size()) {
      const char c = src[pos];
      if (c == '\n') {
        ++line;
        ++pos;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++pos;
      } else if (c == '/' && at(pos + 1) == '/') {
        while (pos < src.size() && src[pos] != '\n') ++pos;
      } else if (c == '/' && at(pos + 1) == '*') {
        const int startLine = line;
        pos += 2;
        while (pos < src.size() && !(src[pos] == '*' && at(pos + 1) == '/')) {
          if (src[pos] == '\n') ++line;
          ++pos;
        }
        if (pos >= src.size()) {
          Token t;
          t.kind = Token::INVALID;
          t.text = "unterminated comment";
          t.line = startLine;
          tokens.push_back(t);
          return false;
        }
        pos += 2;
      } else {
        return true;
      }
    }
    return false;
  }

  void push(Token::Kind kind, std::string text, double number = 0) {
    Token t;
    t.kind = kind;
    t.text = std::move(text);
    t.line = line;
    t.number = number;
    tokens.push_back(std::move(t));
  }

  void invalid(const char* why) { push(Token::INVALID, why); }

  void identifier() {
    const size_t start = pos;
    while (pos < src.size() && isIdentChar(src[pos])) ++pos;
    push(Token::IDENTIFIER, src.substr(start, pos - start));
  }

  // Decimal, octal and hexadecimal integers; decimal floats with an optional
  // exponent and one of Cg's suffixes f, h, x (float, half, fixed).
  void number() {
    const size_t start = pos;
    bool isFloat = false;
    if (src[pos] == '0' && (at(pos + 1) == 'x' || at(pos + 1) == 'X')) {
      pos += 2;
      while (pos < src.size() && std::isxdigit(static_cast<unsigned char>(src[pos]))) ++pos;
    } else {
      while (isDigit(at(pos))) ++pos;
      if (at(pos) == '.') {
        isFloat = true;
        ++pos;
        while (isDigit(at(pos))) ++pos;
      }
      if (at(pos) == 'e' || at(pos) == 'E') {
        size_t p = pos + 1;
        if (at(p) == '+' || at(p) == '-') ++p;
        if (isDigit(at(p))) {
          isFloat = true;
          pos = p;
          while (isDigit(at(pos))) ++pos;
        }
      }
    }
    std::string digits = src.substr(start, pos - start);
    const char suffix = at(pos);
    if (suffix == 'f' || suffix == 'F' || suffix == 'h' || suffix == 'H' || suffix == 'x' ||
        suffix == 'X') {
      isFloat = true;
      ++pos;
    }
    if (isIdentChar(at(pos))) {
      while (isIdentChar(at(pos))) ++pos;
      invalid("malformed number");
      return;
    }
    if (isFloat) {
      push(Token::FLOAT_LITERAL, digits, std::strtod(digits.c_str(), nullptr));
    } else {
      push(Token::INT_LITERAL, digits,
           static_cast<double>(std::strtoull(digits.c_str(), nullptr, 0)));
    }
  }

  void punctuator() {
    for (const char* p : PUNCTUATORS) {
      if (p[0] != src[pos]) continue;
      size_t n = 1;
      while (p[n] && p[n] == at(pos + n)) ++n;
      if (p[n]) continue;
      push(Token::PUNCT, p);
      pos += n;
      return;
    }
    ++pos;
    invalid("unexpected character");
  }

  const std::string& src;
  size_t pos = 0;
  int line = 1;
  std::vector<Token> tokens;
};

}  // namespace

std::vector<Token> tokenize(const std::string& source) { return Lexer(source).run(); }

}  // namespace platform::cg
