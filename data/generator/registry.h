// The data generator's product registry.
//
// Each product file registers one or more generators with REGISTER_PRODUCT at
// static-initialisation time; main() runs them all in name order. A generator
// writes its files below the output root it is given and returns false (after
// printing why on stderr) when it cannot. Generators must be deterministic:
// same sources, same bytes.
#pragma once

#include <string>

namespace datagen {

using ProductFn = bool (*)(const std::string& outRoot);

// Adds a generator; called through REGISTER_PRODUCT only.
bool registerProduct(const char* name, ProductFn fn);

// Creates a directory and its parents; false when that fails.
bool makeDirs(const std::string& path);

}  // namespace datagen

#define REGISTER_PRODUCT(name, fn) \
  static const bool registered_##fn = ::datagen::registerProduct(name, fn)
