#include "load_request.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "header_parser.h"
#include "pixel_decoder.h"
#include "report.h"

uint8_t* CopyDataBufferH = nullptr;
uint32_t fileSize = 0;
char filename[kPayloadNameLength];
char sfname[kPayloadNameLength];
uint8_t* WholeFile = nullptr;
int32_t fsize = 0;
uint8_t* WholeHeader = nullptr;
uint32_t gHeadersize = 0;
int32_t headerBlocks = 0;
int NewHeaderData = 0;
int NewBitmapData = 0;
int firstLoad = 1;

// END found by DoReadPrepare, taken over once the header is accepted.
static uint32_t pendingHeaderSize = 0;

int LoadRequestValid(uintptr_t dwData, const void* data, uint32_t cbData) {
  if (dwData != kLoadRequestMagic) {
    ReportDebugText("RIRU Dezeve Zuroda - OnCopyDataH() : dwData != 0xFEB11966");
    return 0;
  }
  if (data == nullptr || cbData < kPayloadMinLength) {
    ReportDebugText("RIRU Dezeve Zuroda - OnCopyDataH() : payload shorter than 271 bytes");
    return 0;
  }
  const char* name = static_cast<const char*>(data) + kPayloadNameOffset;
  if (memchr(name, 0, kPayloadNameLength) == nullptr) {
    ReportDebugText("RIRU Dezeve Zuroda - OnCopyDataH() : file name not terminated");
    return 0;
  }
  return 1;
}

const char* ShortName(const char* path) {
  size_t length = strlen(path);
  for (size_t i = length >= 2 ? length - 1 : 0; i-- > 0;) {
    if (path[i] == '\\') return path + i + 1;
  }
  return path;
}

int32_t FindEndRecord(const uint8_t* file, int32_t length) {
  for (int32_t offset = 0; offset < length - HEADERRECLENGTH; offset += HEADERRECLENGTH) {
    if (memcmp(file + offset, "END", 3) == 0) return offset;
  }
  return -1;
}

static void FreeWholeFile() {
  delete[] WholeFile;
  WholeFile = nullptr;
}

// Reads the whole file with one read; 0 when it cannot be opened or read.
static int ReadWholeFile(const char* path) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return 0;
  long length = -1;
  if (fseek(file, 0, SEEK_END) == 0) length = ftell(file);
  int ok = 0;
  if (length >= 0 && length <= INT32_MAX && fseek(file, 0, SEEK_SET) == 0) {
    uint8_t* buffer = new (std::nothrow) uint8_t[length > 0 ? length : 1];
    if (buffer != nullptr && fread(buffer, 1, length, file) == static_cast<size_t>(length)) {
      FreeWholeFile();
      WholeFile = buffer;
      fsize = static_cast<int32_t>(length);
      ok = 1;
    } else {
      delete[] buffer;
    }
  }
  fclose(file);
  return ok;
}

int DoReadPrepare() {
  if (!ReadWholeFile(filename)) {
    ReportFailure("DoReadPrepare", "file cannot be opened or read");
    return 0;
  }
  int32_t end = FindEndRecord(WholeFile, fsize);
  if (end < 0) {
    ReportFailure("DoReadPrepare", "no END record");
    return 0;
  }
  pendingHeaderSize = static_cast<uint32_t>(end) + HEADERRECLENGTH;
  return 1;
}

int TakeLoadRequest(const void* data, uint32_t cbData, int* imageReplaced) {
  *imageReplaced = 0;
  delete[] CopyDataBufferH;
  CopyDataBufferH = new (std::nothrow) uint8_t[cbData];
  if (CopyDataBufferH == nullptr) {
    ReportDebugText("ZAD Uvazar - OnCopyDataH() : CopyDataBufferH creation failed");
    return 0;
  }
  memcpy(CopyDataBufferH, data, cbData);
  NewHeaderData = 1;
  memcpy(&fileSize, CopyDataBufferH, sizeof fileSize);
  memcpy(filename, CopyDataBufferH + kPayloadNameOffset, kPayloadNameLength);

  // The previous image, its header and its name stay unless the new file is
  // read, recognised and decodable in full.
  if (DoReadPrepare() && DoReadStart(WholeFile, pendingHeaderSize, fsize)) {
    DoReadContinue();
    strcpy(sfname, ShortName(filename));
    firstLoad = 1;
    NewBitmapData = 1;
    *imageReplaced = 1;
  }
  FreeWholeFile();
  return 1;
}

void FreeLoadedImage() {
  FreePixelBuffers();
  delete[] WholeHeader;
  WholeHeader = nullptr;
  FreeWholeFile();
  delete[] CopyDataBufferH;
  CopyDataBufferH = nullptr;
}
