// Tokens of Cg source text, for the Cg-to-GLSL translator.
//
// tokenize splits a whole source text at once. It never fails: characters it
// cannot read become INVALID tokens, which the parser reports with their line.
// The parser stops at the first of them, so the list ends there; it always
// ends with one END token.
#pragma once

#include <string>
#include <vector>

namespace platform::cg {

struct Token {
  enum Kind { IDENTIFIER, INT_LITERAL, FLOAT_LITERAL, PUNCT, INVALID, END };
  Kind kind = END;
  std::string text;   // the spelling (for INVALID: what went wrong)
  int line = 1;       // 1-based source line
  double number = 0;  // literal value, suffix removed
};

// The tokens of source; comments and white space are dropped.
std::vector<Token> tokenize(const std::string& source);

}  // namespace platform::cg
