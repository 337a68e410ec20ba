// The figures of a benchmark program as JSON, for `--json FILE`.
//
// takeOption first, on main's arguments (it removes `--json FILE` from them,
// so the program parses the rest as before; false, said on stderr, when FILE
// is missing); takeSize for a program drawn at WxH; add each figure where the
// program prints it; write at the end. Without the option write does nothing
// and succeeds; it returns false (said on stderr) when the file cannot be
// written. The file: {"program": NAME, "figures": [{"name", "value", "unit"}]}.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

class BenchJson {
 public:
  explicit BenchJson(const char* program) : program_(program) {}

  // Removes `--json FILE` from argv; false (said on stderr) when FILE is missing.
  bool takeOption(int* argc, char** argv) {
    for (int i = 1; i < *argc; ++i) {
      if (std::strcmp(argv[i], "--json") != 0) continue;
      if (i + 1 >= *argc) {
        std::fprintf(stderr, "%s: --json needs a file name\n", argv[0]);
        return false;
      }
      path_ = argv[i + 1];
      for (int j = i; j + 2 <= *argc; ++j) argv[j] = argv[j + 2];
      *argc -= 2;
      return true;
    }
    return true;
  }

  // Reads WxH from argv[1] where there is one (width and height keep their
  // defaults otherwise); false, with the usage on stderr, when it is not WxH.
  static bool takeSize(int argc, char** argv, int* width, int* height) {
    if (argc < 2 || std::sscanf(argv[1], "%dx%d", width, height) == 2) return true;
    std::fprintf(stderr, "usage: %s [WxH] [--json FILE]\n", argv[0]);
    return false;
  }

  // Records a figure: what it measures, its value and its unit ("ms", "%").
  void add(const std::string& name, double value, const char* unit) {
    figures_.push_back({name, value, unit});
  }

  // Writes the figures to the file of the option, if there was one.
  bool write() const {
    if (path_.empty()) return true;
    FILE* f = std::fopen(path_.c_str(), "w");
    bool ok = f != nullptr;
    if (ok) {
      std::fprintf(f, "{\n  \"program\": \"%s\",\n  \"figures\": [\n", program_.c_str());
      for (size_t i = 0; i < figures_.size(); ++i)
        std::fprintf(f, "    {\"name\": \"%s\", \"value\": %.6g, \"unit\": \"%s\"}%s\n",
                     escaped(figures_[i].name).c_str(), figures_[i].value, figures_[i].unit,
                     i + 1 < figures_.size() ? "," : "");
      std::fprintf(f, "  ]\n}\n");
      ok = std::fclose(f) == 0;
    }
    if (!ok) std::perror((program_ + ": cannot write " + path_).c_str());
    return ok;
  }

 private:
  struct Figure {
    std::string name;
    double value;
    const char* unit;
  };

  static std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
      if (c == '"' || c == '\\') out += '\\';
      if (static_cast<unsigned char>(c) >= 0x20) out += c;
    }
    return out;
  }

  std::string program_;
  std::string path_;
  std::vector<Figure> figures_;
};
