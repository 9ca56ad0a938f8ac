// The pixel decoder: raw big-endian samples become doubles, with the
// minimum, maximum and sum over all planes.
#pragma once
#include <cstdint>

extern double minP, maxP, sumPV, avgPV;

// Chooses the reader by the sample size and runs it on gPixelBuffer.
void DoReadContinue();
void ReadSomeData8(int32_t length, uint8_t* raw);
void ReadSomeData(int32_t length, uint8_t* raw);
void ReadSomeData32(int32_t length, uint8_t* raw);
