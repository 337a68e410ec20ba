// libFuzzer target: the Cg translator on arbitrary text, for both stages,
// and the driver-log reader on the same bytes. Any crash, sanitizer report
// or hang is a finding; compile errors are the expected outcome.
#include <cstddef>
#include <cstdint>
#include <string>

#include "shader/translate/cg_translate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (platform::cg::Stage stage : {platform::cg::Stage::VERTEX, platform::cg::Stage::FRAGMENT}) {
    const platform::cg::Translation t = platform::cg::translateCg(text, "fuzz.cg", stage, "main");
    if (t.ok && t.lineMap.empty()) __builtin_trap();  // a translation always has its #version line
    platform::cg::mapDriverLog(text, t, "fuzz.cg");
  }
  return 0;
}
