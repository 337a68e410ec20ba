// Functions, the entry function's generated main() and the translation as a
// whole.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "shader/translate/cg_translator.h"

namespace platform::cg {

namespace {

struct Param {
  std::string name;
  CgType type;
  Direction direction = Direction::IN;
  std::string semantic;
  bool uniform = false;
  int line = 0;
};

const char* const COMPONENTS = "xyzw";

}  // namespace

void Translator::addParameter(const std::string& name, const CgType& type, bool uniform) {
  ParameterInfo p;
  p.name = name;
  p.glslName = uniform ? glslIdentifier(name) : "";
  p.kind = uniform ? ParameterInfo::UNIFORM : ParameterInfo::VARYING;
  p.isFloat = type.base == Base::FLOAT;
  const CgType element = elementType(type);
  p.arraySize = type.arraySize;
  p.rows = element.isMatrix() ? element.rows : 1;
  p.cols = element.isMatrix() ? element.cols : element.size;
  switch (type.base) {
    case Base::SAMPLER1D: p.valueType = ParameterInfo::SAMPLER1D; break;
    case Base::SAMPLER2D: p.valueType = ParameterInfo::SAMPLER2D; break;
    case Base::SAMPLER3D: p.valueType = ParameterInfo::SAMPLER3D; break;
    case Base::SAMPLERCUBE: p.valueType = ParameterInfo::SAMPLERCUBE; break;
    case Base::BOOL:
    case Base::INT:
    case Base::FLOAT: p.valueType = ParameterInfo::NUMBER; break;
    default: p.valueType = ParameterInfo::OTHER; break;
  }
  parameters.push_back(p);
}

void Translator::addUniformParameters(const std::string& name, const std::string& glsl,
                                      const CgType& type, int line) {
  if (static_cast<int>(parameters.size()) >= MAX_PARAMETERS) {
    if (static_cast<int>(parameters.size()) == MAX_PARAMETERS) {
      error(line, "more than " + std::to_string(MAX_PARAMETERS) + " uniform values");
      parameters.emplace_back();
    }
    return;
  }
  addParameter(name, type, true);
  if (type.isSampler()) samplers.push_back({name, line});
  if (type.isArray()) {
    parameters.back().glslName.clear();
    for (int i = 0; i < type.arraySize; ++i) {
      const std::string index = "[" + std::to_string(i) + "]";
      addUniformParameters(name + index, glsl + index, elementType(type), line);
    }
  } else if (type.isStruct()) {
    parameters.back().glslName.clear();
    for (const StructField& f : structs[type.structIndex].fields)
      addUniformParameters(name + "." + f.name, glsl + "." + glslIdentifier(f.name), f.type, line);
  } else {
    parameters.back().glslName = glsl;
  }
}

void Translator::checkProfileLimits() {
  const size_t units = profile == Profile::FP20 ? 4 : 16;
  if (stage == Stage::FRAGMENT && samplers.size() > units) {
    const auto& s = samplers[units];
    error(s.second, std::string("profile ") + profileName(profile) + " has " +
                        std::to_string(units) + " texture units; sampler '" + s.first +
                        "' is one more");
  }
}

void Translator::parseFunction(const CgType& returnType, const std::string& name, int line) {
  expect("(");
  std::vector<Param> params;
  if (isWord("void") && isPunct(")", 1)) next();
  if (!accept(")")) {
    do {
      Param p;
      p.line = peek().line;
      for (;;) {
        if (acceptWord("in")) {
          p.direction = Direction::IN;
        } else if (acceptWord("out")) {
          p.direction = Direction::OUT;
        } else if (acceptWord("inout")) {
          p.direction = Direction::INOUT;
        } else if (acceptWord("uniform")) {
          p.uniform = true;
        } else if (!acceptWord("const")) {
          break;
        }
      }
      p.type = parseType();
      p.name = expectIdentifier("a parameter name");
      p.type = parseArraySuffix(p.type, p.line);
      if (accept(":")) p.semantic = parseSemantic();
      if (isPunct("=")) fail(p.line, "default values of parameters are not supported");
      if (p.type.base == Base::VOID) error(p.line, "parameter '" + p.name + "' cannot be void");
      if (p.type.isSampler() && p.direction != Direction::IN)
        error(p.line, "a sampler parameter cannot be out or inout");
      params.push_back(p);
    } while (!failed() && accept(","));
    expect(")");
  }
  std::string returnSemantic;
  if (accept(":")) returnSemantic = parseSemantic();
  if (failed()) return;
  if (returnType.isSampler()) error(line, "a function cannot return a sampler");

  const bool isEntry = name == entryName;
  Function f;
  f.name = name;
  f.returnType = returnType;
  f.isEntry = isEntry;
  for (const Param& p : params) {
    if (isEntry && p.uniform) continue;
    if (!isEntry && p.uniform)
      error(p.line, "uniform parameters belong to the entry function '" + entryName + "'");
    f.paramTypes.push_back(p.type);
    f.paramDirections.push_back(p.direction);
  }
  Function* existing = nullptr;
  auto range = functions.equal_range(name);
  for (auto it = range.first; it != range.second; ++it)
    if (it->second.paramTypes == f.paramTypes) existing = &it->second;
  if (existing && existing->returnType != returnType)
    error(line, "function '" + name + "' was declared with another return type");

  std::string signature = typeName(returnType) + " " + glslIdentifier(name) + "(";
  bool first = true;
  for (const Param& p : params) {
    if (p.uniform) continue;
    if (!first) signature += ", ";
    first = false;
    if (p.direction == Direction::OUT) signature += "out ";
    if (p.direction == Direction::INOUT) signature += "inout ";
    signature += declaration(p.type, glslIdentifier(p.name));
  }
  signature += ")";

  if (accept(";")) {
    if (isEntry) error(line, "the entry function cannot be declared ahead of its definition");
    if (!existing) functions.insert({name, f});
    emit(signature + ";", line);
    return;
  }
  if (!isPunct("{")) {
    expect("{");
    return;
  }
  if (existing && existing->defined) error(line, "redefinition of function '" + name + "'");
  if (existing) {
    existing->defined = true;
  } else {
    f.defined = true;
    functions.insert({name, f});
  }
  if (isEntry) {
    if (entrySeen) error(line, "the entry function '" + name + "' is defined twice");
    entrySeen = true;
    entryLine = line;
    entryReturn = returnType;
    entryReturnSemantic = returnSemantic;
  }

  scopes.emplace_back();
  for (const Param& p : params) {
    const std::string glsl = p.uniform ? uniformName(p.name) : glslIdentifier(p.name);
    if (isEntry) {
      if (p.uniform) {
        if (!p.semantic.empty()) error(p.line, "semantics on uniform parameters are not supported");
        if (scopes.front().count(p.name))
          error(p.line, "uniform '" + p.name + "' is already declared globally");
        uniformLines.push_back({"uniform " + declaration(p.type, glsl) + ";", p.line});
        addUniformParameters(p.name, glsl, p.type, p.line);
      } else {
        addParameter(p.name, p.type, false);
      }
      if (p.type.isSampler() && !p.uniform)
        error(p.line, "sampler parameter '" + p.name + "' must be uniform");
      entryParams.push_back({p.name, p.type, p.direction, p.semantic, p.uniform, p.line});
    }
    declare(p.name, {p.type, glsl, !p.uniform}, p.line);
  }
  CgType savedReturn = this->returnType;
  this->returnType = returnType;
  loopDepth = 0;
  expect("{");
  emit(signature + " {", line);
  ++indent;
  parseBlockBody();
  --indent;
  emit("}", line);
  this->returnType = savedReturn;
  scopes.pop_back();
}

// The GLSL expression that reads a varying input of the given type.
std::string Translator::entryInput(const CgType& type, const std::string& semantic, int line) {
  if (type.isArray()) {
    error(line, "varying arrays are not supported");
    return "0.0";
  }
  if (type.base == Base::STRUCT) {
    if (!semantic.empty()) error(line, "a struct input takes its semantics from its fields");
    const StructInfo& s = structs[type.structIndex];
    std::string code = typeName(type) + "(";
    for (size_t i = 0; i < s.fields.size(); ++i) {
      if (s.fields[i].type.isStruct()) {
        error(s.fields[i].line, "nested structs cannot be program inputs");
        continue;
      }
      if (i) code += ", ";
      code += entryInput(s.fields[i].type, s.fields[i].semantic, s.fields[i].line);
    }
    return code + ")";
  }
  BuiltinVarying v;
  if (semantic.empty()) {
    error(line, "a varying input needs a semantic (or 'uniform')");
    return "0.0";
  }
  if (type.base != Base::FLOAT || type.isMatrix()) {
    error(line, "varying input " + semantic + " must be a float scalar or vector");
    return "0.0";
  }
  if (!semanticVarying(stage, false, semantic, &v)) {
    error(line, "semantic " + semantic + " is not an input of a " +
                    (stage == Stage::VERTEX ? "vertex" : "fragment") + " program");
    return "0.0";
  }
  if (type.size == v.size) return v.glsl;
  if (type.size < v.size) return v.glsl + "." + std::string(COMPONENTS, type.size);
  // Missing components read as 0, a missing w as 1.
  std::string code = typeName(type) + "(" + v.glsl;
  for (int i = v.size; i < type.size; ++i) code += i == 3 ? ", 1.0" : ", 0.0";
  return code + ")";
}

// Emits the stores of a varying output into its built-in variables.
void Translator::entryOutput(const CgType& type, const std::string& semantic,
                             const std::string& code, int line,
                             std::vector<std::string>* usedSemantics) {
  if (type.isArray()) {
    error(line, "varying arrays are not supported");
    return;
  }
  if (type.base == Base::STRUCT) {
    if (!semantic.empty()) error(line, "a struct output takes its semantics from its fields");
    for (const StructField& f : structs[type.structIndex].fields) {
      if (f.type.isStruct()) {
        error(f.line, "nested structs cannot be program outputs");
        continue;
      }
      entryOutput(f.type, f.semantic, code + "." + glslIdentifier(f.name), f.line, usedSemantics);
    }
    return;
  }
  BuiltinVarying v;
  if (semantic.empty()) {
    error(line, "a varying output needs a semantic");
    return;
  }
  if (type.base != Base::FLOAT || type.isMatrix()) {
    error(line, "varying output " + semantic + " must be a float scalar or vector");
    return;
  }
  if (!semanticVarying(stage, true, semantic, &v)) {
    error(line, "semantic " + semantic + " is not an output of a " +
                    (stage == Stage::VERTEX ? "vertex" : "fragment") + " program");
    return;
  }
  for (const std::string& used : *usedSemantics)
    if (used == v.glsl) error(line, "output semantic " + semantic + " is written twice");
  usedSemantics->push_back(v.glsl);
  std::string value = code;
  if (type.size > v.size) {
    value = code + "." + std::string(COMPONENTS, v.size);
  } else if (type.size < v.size) {
    // Missing components become 0, a missing w 1.
    value = "vec" + std::to_string(v.size) + "(" + code;
    for (int i = type.size; i < v.size; ++i) value += i == 3 ? ", 1.0" : ", 0.0";
    value += ")";
  }
  emit(v.glsl + " = " + value + ";", line);
}

void Translator::emitEntryWrapper() {
  if (!entrySeen) {
    error(peek().line, "entry function '" + entryName + "' not found");
    return;
  }
  std::vector<std::string> used;
  std::vector<std::string> args;
  emit("void main() {", entryLine);
  indent = 1;
  for (size_t i = 0; i < entryParams.size(); ++i) {
    const EntryParam& p = entryParams[i];
    if (p.uniform) continue;
    if (p.direction == Direction::IN) {
      args.push_back(entryInput(p.type, p.semantic, p.line));
      continue;
    }
    const std::string temp = "out" + std::to_string(i);
    std::string decl = declaration(p.type, temp);
    if (p.direction == Direction::INOUT) decl += " = " + entryInput(p.type, p.semantic, p.line);
    emit(decl + ";", p.line);
    args.push_back(temp);
  }
  std::string call = glslIdentifier(entryName) + "(";
  for (size_t i = 0; i < args.size(); ++i) call += (i ? ", " : "") + args[i];
  call += ")";
  if (entryReturn.base == Base::VOID) {
    if (!entryReturnSemantic.empty()) error(entryLine, "a void function has no result semantic");
    emit(call + ";", entryLine);
  } else if (!entryReturn.isError()) {
    emit(typeName(entryReturn) + " result = " + call + ";", entryLine);
    entryOutput(entryReturn, entryReturnSemantic, "result", entryLine, &used);
  }
  for (size_t i = 0; i < entryParams.size(); ++i) {
    const EntryParam& p = entryParams[i];
    if (!p.uniform && p.direction != Direction::IN)
      entryOutput(p.type, p.semantic, "out" + std::to_string(i), p.line, &used);
  }
  // Checked only on an otherwise sound program: after other errors the
  // outputs may be missing for their sake.
  if (stage == Stage::VERTEX && errorCount == 0 &&
      std::find(used.begin(), used.end(), "gl_Position") == used.end())
    error(entryLine, "a vertex program must write a POSITION output");
  indent = 0;
  emit("}", entryLine);
}

Translation Translator::run() {
  scopes.emplace_back();
  while (!failed() && !atEnd()) parseTopLevel();
  if (!failed()) {
    for (const auto& f : functions)
      if (f.second.called && !f.second.defined)
        error(peek().line, "function '" + f.first + "' is called but never defined");
    emitEntryWrapper();
    checkProfileLimits();
  }
  Translation t;
  t.listing = listing;
  t.ok = errorCount == 0 && !aborted;
  if (!t.ok) return t;
  size_t length = 0;
  for (const auto* lines : {&structLines, &uniformLines, &helperLines, &bodyLines})
    for (const Line& l : *lines) length += l.text.size() + 1;
  t.glsl.reserve(length + 16);
  t.glsl = "#version 120\n";
  t.lineMap.push_back(0);
  for (const auto* lines : {&structLines, &uniformLines, &helperLines, &bodyLines}) {
    for (const Line& l : *lines) {
      t.glsl += l.text + "\n";
      t.lineMap.push_back(l.line);
    }
  }
  t.parameters = parameters;
  return t;
}

namespace {

const struct {
  Profile profile;
  const char* name;
} PROFILE_NAMES[] = {{Profile::VP20, "vp20"},
                     {Profile::ARBVP1, "arbvp1"},
                     {Profile::FP20, "fp20"},
                     {Profile::ARBFP1, "arbfp1"},
                     {Profile::FP30, "fp30"}};

}  // namespace

Stage profileStage(Profile profile) {
  return profile == Profile::VP20 || profile == Profile::ARBVP1 ? Stage::VERTEX : Stage::FRAGMENT;
}

const char* profileName(Profile profile) {
  for (const auto& p : PROFILE_NAMES)
    if (p.profile == profile) return p.name;
  return "unknown";
}

bool profileFromName(const std::string& name, Profile* profile) {
  for (const auto& p : PROFILE_NAMES) {
    if (name == p.name) {
      *profile = p.profile;
      return true;
    }
  }
  return false;
}

Translation translateCg(const std::string& source, const std::string& fileName, Profile profile,
                        const std::string& entry) {
  const std::vector<Token> tokens = tokenize(source);
  return Translator(tokens, fileName, profile, entry).run();
}

Translation translateCg(const std::string& source, const std::string& fileName, Stage stage,
                        const std::string& entry) {
  return translateCg(source, fileName, stage == Stage::VERTEX ? Profile::ARBVP1 : Profile::FP30,
                     entry);
}

namespace {

// Reads decimal digits at *p; -1 when there are none.
long readNumber(const char** p) {
  if (!std::isdigit(static_cast<unsigned char>(**p))) return -1;
  long n = 0;
  while (std::isdigit(static_cast<unsigned char>(**p))) {
    if (n < 100000000) n = n * 10 + (**p - '0');
    ++*p;
  }
  return n;
}

// The GLSL line of a log line ("0:12(5): x", "0:12: x", "0(12) : x", each
// possibly after "ERROR: "); -1 when it names none. *rest is the message.
long logLine(const std::string& text, std::string* rest) {
  const char* p = text.c_str();
  for (const char* prefix : {"ERROR: ", "WARNING: "})
    if (std::strncmp(p, prefix, std::strlen(prefix)) == 0) p += std::strlen(prefix);
  if (readNumber(&p) < 0) return -1;
  long line = -1;
  if (*p == ':') {
    ++p;
    line = readNumber(&p);
    if (*p == '(') {
      ++p;
      readNumber(&p);
      if (*p == ')') ++p;
    }
  } else if (*p == '(') {
    ++p;
    line = readNumber(&p);
    if (*p != ')') return -1;
    ++p;
  }
  if (line < 0) return -1;
  while (*p == ' ' || *p == ':') ++p;
  *rest = p;
  return line;
}

}  // namespace

std::string mapDriverLog(const std::string& log, const Translation& t,
                         const std::string& fileName) {
  std::string listing;
  size_t start = 0;
  while (start < log.size()) {
    size_t end = log.find('\n', start);
    if (end == std::string::npos) end = log.size();
    const std::string text = log.substr(start, end - start);
    start = end + 1;
    if (text.find_first_not_of(" \t\r") == std::string::npos) continue;
    std::string rest;
    const long line = logLine(text, &rest);
    if (line >= 1 && line <= static_cast<long>(t.lineMap.size()) && t.lineMap[line - 1] > 0) {
      listing += fileName + "(" + std::to_string(t.lineMap[line - 1]) + ") : " + rest + "\n";
    } else {
      listing += fileName + " : " + text + "\n";
    }
  }
  return listing;
}

}  // namespace platform::cg
