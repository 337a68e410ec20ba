// datagen OUTROOT [NAME...]: writes the show's data files below OUTROOT.
// With names, only those products are made. Exit code 1 when any fails.
#include "registry.h"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>

namespace datagen {

static std::map<std::string, ProductFn>& products() {
  static std::map<std::string, ProductFn> table;
  return table;
}

bool registerProduct(const char* name, ProductFn fn) {
  products()[name] = fn;
  return true;
}

bool makeDirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      std::string part = path.substr(0, i);
      if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  return true;
}

}  // namespace datagen

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: datagen OUTROOT [PRODUCT...]\n");
    return 2;
  }
  const std::string root = argv[1];
  if (!datagen::makeDirs(root)) {
    std::fprintf(stderr, "datagen: cannot create %s\n", root.c_str());
    return 1;
  }
  bool ok = true;
  for (const auto& [name, fn] : datagen::products()) {
    bool wanted = argc == 2;
    for (int i = 2; i < argc; ++i) wanted = wanted || std::strcmp(argv[i], name.c_str()) == 0;
    if (!wanted) continue;
    auto t0 = std::chrono::steady_clock::now();
    bool made = fn(root);
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("datagen: %-14s %s (%.0f ms)\n", name.c_str(), made ? "ok" : "FAILED", ms);
    ok = ok && made;
  }
  return ok ? 0 : 1;
}
