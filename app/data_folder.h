// Where the show's data set lies (textures/, models/, sounds/, cg_programs/).
//
// Call order: main() calls findDataFolder() once, after the command line and
// before anything is loaded, and enters the folder it returns; every loader
// then reads paths relative to it. Nothing here is kept: the result is a value.
// Failure: an empty folder, with every place looked at in `tried`.
#pragma once

#include <string>
#include <vector>

struct DataSearch {
  std::string folder;              // the data folder chosen; empty when none holds the data
  std::vector<std::string> tried;  // each place looked at, in order, with where it came from
};

// Whether dir holds every subfolder of the data set.
bool isDataFolder(const std::string& dir);

// The folder of the running executable, ending in '/'; empty when unknown.
std::string executableFolder();

// The data folder: `option` (--data) or else `env` (PARALLAXIS_DATA) when
// given, and then only that one; otherwise the executable's folder (a build
// tree), then exeDir/../share/parallaxis (an installed prefix, wherever it
// was moved). Empty option, null or empty env count as not given.
DataSearch findDataFolder(const std::string& option, const char* env, const std::string& exeDir);

// The one-paragraph message for a search that found nothing.
std::string dataSearchFailure(const DataSearch& search);
