// cg2glsl: the show's Cg-to-GLSL translator on the command line.
//
//   cg2glsl FILE ENTRY PROFILE
//
// Translates the Cg program in FILE, entry function ENTRY, under PROFILE
// (vp20, arbvp1, fp20, arbfp1 or fp30). The GLSL 1.20 shader goes to
// standard output, the listing ("file(line) : error: text") to standard
// error. Exit status: 0 when it translated, 1 when it did not or the file
// cannot be read, 2 for a wrong command line.
#include <cstdio>
#include <string>

#include "shader/translate/cg_translate.h"

namespace {

// Reads a whole file; false when it cannot be read.
bool readFile(const char* path, std::string* text) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text->append(buffer, n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  platform::cg::Profile profile;
  if (argc != 4 || !platform::cg::profileFromName(argv[3], &profile)) {
    std::fprintf(stderr,
                 "usage: cg2glsl FILE ENTRY PROFILE\n"
                 "  PROFILE: vp20, arbvp1 (vertex); fp20, arbfp1, fp30 (fragment)\n");
    return 2;
  }
  std::string source;
  if (!readFile(argv[1], &source)) {
    std::fprintf(stderr, "%s : error: cannot read the file\n", argv[1]);
    return 1;
  }
  const platform::cg::Translation t = platform::cg::translateCg(source, argv[1], profile, argv[2]);
  std::fputs(t.listing.c_str(), stderr);
  if (!t.ok) return 1;
  std::fputs(t.glsl.c_str(), stdout);
  return 0;
}
