// Decoding speed of the viewer's reader on a 2048 x 2048 image.
#include <benchmark/benchmark.h>

#include <cstring>

#include "display_mapping.h"
#include "fits_builder.h"
#include "header_parser.h"
#include "pixel_decoder.h"

namespace {

void DecodeImage(benchmark::State& state) {
  const int bitpix = static_cast<int>(state.range(0));
  const uint32_t side = 2048;
  FitsFormat f;
  f.bitpix = f.realbitpix = static_cast<int16_t>(bitpix < 0 ? -bitpix : bitpix);
  f.isFloat = bitpix < 0;
  f.bytepix = f.realbytepix = static_cast<int16_t>(f.bitpix / 8);
  f.imageSzH = f.imageSzV = side;
  f.imageSz = static_cast<int32_t>(side * side);
  std::vector<uint8_t> raw(size_t{side} * side * f.realbytepix);
  for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(i * 7);
  TheFormat = f;
  gDataSize = static_cast<uint32_t>(raw.size());
  gPixelBuffer = new uint8_t[raw.size()];
  gDoubleBuffer = new double[f.imageSz];
  for (auto _ : state) {
    memcpy(gPixelBuffer, raw.data(), raw.size());
    DoReadContinue();
    benchmark::DoNotOptimize(sumPV);
  }
  state.SetItemsProcessed(state.iterations() * f.imageSz);
  FreePixelBuffers();
}
BENCHMARK(DecodeImage)->Arg(8)->Arg(16)->Arg(-32)->Unit(benchmark::kMillisecond);

// One rebuild of the display bitmap: every sample through the transfer.
void MapImage(benchmark::State& state) {
  const uint32_t side = 2048;
  std::vector<double> values(size_t{side} * side);
  for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<double>(i % 4096);
  std::vector<uint8_t> pixels(values.size() * 4);
  const Transfer transfer(0, {3000, 100});
  for (auto _ : state) {
    MapSamples(values.data(), side, side, 1, transfer, pixels.data());
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(values.size()));
}
BENCHMARK(MapImage)->Unit(benchmark::kMillisecond);

}  // namespace
