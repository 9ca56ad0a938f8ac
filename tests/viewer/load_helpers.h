// Sends load requests to the pipeline the way the header window hands them on.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fits_builder.h"
#include "load_request.h"

namespace fitstest {

inline std::vector<uint8_t> Payload(const std::string& path, uint32_t length = kPayloadMinLength) {
  std::vector<uint8_t> payload(length, 0xAB);
  for (uint32_t i = 0; i < kPayloadNameOffset; ++i) payload[i] = 0;
  for (uint32_t i = 0; i < kPayloadNameLength; ++i) payload[kPayloadNameOffset + i] = 0;
  for (size_t i = 0; i < path.size() && i + 1 < kPayloadNameLength; ++i) payload[kPayloadNameOffset + i] = path[i];
  return payload;
}

// Runs a request as OnCopyDataH does; returns its result.
inline int Load(const std::string& path, uint32_t length = kPayloadMinLength) {
  auto payload = Payload(path, length);
  if (!LoadRequestValid(kLoadRequestMagic, payload.data(), length)) return 0;
  int replaced = 0;
  return TakeLoadRequest(payload.data(), length, &replaced);
}

// Writes bytes to a fresh file under the test's temporary folder.
inline std::string TempFits(const std::string& name, const std::string& bytes) {
  std::string path = ::testing::TempDir() + name;
  WriteFile(path, bytes);
  return path;
}

}  // namespace fitstest
