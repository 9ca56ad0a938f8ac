// Load requests: a payload naming a FITS file, the file read into memory and
// its header records located.
#pragma once
#include <cstddef>
#include <cstdint>

// The payload: a 16-byte head record (file size first) and a 255-byte path.
constexpr uint32_t kLoadRequestMagic = 0xFEB11966;
constexpr uint32_t kPayloadNameOffset = 16;
constexpr uint32_t kPayloadNameLength = 255;
constexpr uint32_t kPayloadMinLength = kPayloadNameOffset + kPayloadNameLength;

extern uint8_t* CopyDataBufferH;   // private copy of the last accepted payload
extern uint32_t fileSize;          // payload offset 0, kept but not used
extern char filename[kPayloadNameLength];
extern char sfname[kPayloadNameLength];  // short name for the titles
extern uint8_t* WholeFile;         // the file, only while a request runs
extern int32_t fsize;
extern uint8_t* WholeHeader;       // records up to and including END
extern uint32_t gHeadersize;
extern int32_t headerBlocks;
extern int NewHeaderData;
extern int NewBitmapData;
extern int firstLoad;

// Checks the message fields; 0 refuses the request (and says why).
int LoadRequestValid(uintptr_t dwData, const void* data, uint32_t cbData);
// Takes a valid payload and loads its file. Returns 0 only when the payload
// copy cannot be made; *imageReplaced tells whether a new image is in place.
int TakeLoadRequest(const void* data, uint32_t cbData, int* imageReplaced);

// The path after its last backslash, the final character never counting as
// a separator.
const char* ShortName(const char* path);
// Offset of the END record, or -1. Records in the last 80 bytes are not
// examined.
int32_t FindEndRecord(const uint8_t* file, int32_t length);
// Reads `filename` into WholeFile and locates its header. 1 when a header
// was found; otherwise the previous image stays and 0 is returned.
int DoReadPrepare();
// Releases every buffer of the loaded image.
void FreeLoadedImage();
