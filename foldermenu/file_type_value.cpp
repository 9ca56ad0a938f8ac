#include "file_type_value.h"

#include <cstring>

bool FileTypeFromValue(uint32_t type, const uint8_t* data, size_t size, std::string* fileType) {
  size_t terminators;
  switch (type) {
    case kValueString:
    case kValueExpandString: terminators = 1; break;
    case kValueMultiString: terminators = 2; break;
    default: return false;
  }
  if (size < terminators || size > kFileTypeBufferSize) return false;
  for (size_t i = size - terminators; i < size; ++i) {
    if (data[i] != 0) return false;
  }
  std::string name(reinterpret_cast<const char*>(data));  // the first string
  if (name.empty() || name.find('\\') != std::string::npos) return false;
  *fileType = name;
  return true;
}
