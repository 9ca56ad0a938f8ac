#include "registry_entries.h"

#include <cstring>

std::string ExpandRegistryText(const char* text, const std::string& fileType, const std::string& modulePath) {
  const struct {
    const char* name;
    const std::string value;
  } replacements[] = {{"%CLSID%", kClsidText}, {"%FILE%", fileType}, {"%MODULE%", modulePath}};
  std::string out;
  while (*text != '\0') {
    bool replaced = false;
    for (const auto& r : replacements) {
      size_t length = strlen(r.name);
      if (strncmp(text, r.name, length) == 0) {
        out += r.value;
        text += length;
        replaced = true;
        break;
      }
    }
    if (!replaced) out += *text++;
  }
  return out;
}

std::vector<std::string> RemovableParents(const std::string& key) {
  std::vector<std::string> parents;
  size_t first = key.find('\\');
  for (size_t end = key.rfind('\\'); end != std::string::npos && end > first; end = key.rfind('\\', end - 1)) {
    parents.push_back(key.substr(0, end));
  }
  return parents;
}
