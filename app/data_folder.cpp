#include "app/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

static const char* const SUBFOLDERS[] = {"textures", "models", "sounds", "cg_programs"};

static bool isDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isDataFolder(const std::string& dir) {
  if (dir.empty()) return false;
  for (const char* sub : SUBFOLDERS)
    if (!isDirectory(dir + "/" + sub)) return false;
  return true;
}

std::string executableFolder() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "";
  path[n] = '\0';
  const std::string exe(path);
  return exe.substr(0, exe.find_last_of('/') + 1);
}

DataSearch findDataFolder(const std::string& option, const char* env, const std::string& exeDir) {
  std::vector<std::pair<std::string, std::string>> candidates;  // folder, where it came from
  if (!option.empty()) {
    candidates.emplace_back(option, "--data");
  } else if (env && *env) {
    candidates.emplace_back(env, "PARALLAXIS_DATA");
  } else if (!exeDir.empty()) {
    candidates.emplace_back(exeDir, "beside the program");
    candidates.emplace_back(exeDir + "../share/parallaxis", "the installed data");
  }
  DataSearch search;
  for (const auto& [folder, origin] : candidates) {
    search.tried.push_back(folder + " (" + origin + ")");
    if (isDataFolder(folder)) {
      search.folder = folder;
      break;
    }
  }
  return search;
}

std::string dataSearchFailure(const DataSearch& search) {
  std::string text = "no data folder (one holding";
  for (const char* sub : SUBFOLDERS) text += std::string(" ") + sub + "/";
  text += ") in:";
  if (search.tried.empty()) text += " no place to look (the program's folder is unknown)";
  for (const std::string& place : search.tried) text += "\n  " + place;
  return text + "\nName it with --data DIR or PARALLAXIS_DATA.";
}
