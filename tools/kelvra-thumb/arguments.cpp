#include "arguments.h"

namespace {

bool ParseSize(const std::string& text, int* size) {
  if (text.empty() || text.size() > 9) return false;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value <= 0) return false;
  *size = static_cast<int>(value);
  return true;
}

}  // namespace

bool ParseArguments(const std::vector<std::string>& arguments, ThumbArguments* parsed, std::string* error) {
  *parsed = ThumbArguments{};
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--size" || a == "--out") {
      if (i + 1 == arguments.size()) {
        *error = a + " needs a value";
        return false;
      }
      const std::string& value = arguments[++i];
      if (a == "--out") {
        parsed->outDir = value;
      } else if (!ParseSize(value, &parsed->size)) {
        *error = "--size wants a positive whole number, not '" + value + "'";
        return false;
      }
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      *error = "unknown option " + a;
      return false;
    } else {
      parsed->files.push_back(a);
    }
  }
  if (parsed->files.empty()) {
    *error = "no FITS file given";
    return false;
  }
  if (parsed->outDir.empty()) {
    *error = "no output folder given (--out DIR)";
    return false;
  }
  return true;
}

std::string OutputPath(const std::string& outDir, const std::string& file) {
  const size_t slash = file.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  const bool separated = !outDir.empty() && (outDir.back() == '\\' || outDir.back() == '/');
  return outDir + (separated ? "" : "\\") + name + ".png";
}
