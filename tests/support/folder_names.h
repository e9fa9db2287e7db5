// The names in a scratch folder, "." and ".." left out, in sorted order.
#pragma once

#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vqled {

inline std::vector<std::string> FolderNames(const std::string& dir) {
  std::vector<std::string> names;
  DIR* folder = opendir(dir.c_str());
  if (folder == nullptr) return names;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(folder);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vqled
