// Speed of the thumbnail decoder's portable part on a 2048 x 2048 image:
// samples from the memory copy of the file to the 32-bit pixels.
#include <benchmark/benchmark.h>

#include <vector>

#include "fits_builder.h"
#include "memory_file.h"
#include "thumbnail_header.h"
#include "thumbnail_pixels.h"

namespace {

constexpr int kSide = 2048;

std::string ImageFile(int bitpix) {
  const size_t bytes = size_t(kSide) * kSide * size_t(bitpix < 0 ? -bitpix : bitpix) / 8;
  std::string data(bytes, '\0');
  for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<char>((i * 7) & 0x3F);  // no guard fires
  return fitstest::File(fitstest::ImageCards(bitpix, kSide, kSide), data);
}

void FillThumbnail(benchmark::State& state) {
  const std::string file = ImageFile(static_cast<int>(state.range(0)));
  std::vector<double> values(size_t(kSide) * kSide);
  std::vector<uint8_t> pixels(size_t(kSide) * kSide * 4);
  for (auto _ : state) {
    MemoryFile memory = MemoryFileOver(reinterpret_cast<const uint8_t*>(file.data()), int32_t(file.size()));
    ThumbnailHeader header;
    ScanHeader(&memory, &header);
    SettleHeader(&header);
    SampleStatistics statistics = FillThumbnailPixels(&memory, header, values.data(), pixels.data());
    benchmark::DoNotOptimize(statistics);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(FillThumbnail)->Arg(8)->Arg(16)->Arg(32)->Arg(-32)->Unit(benchmark::kMillisecond);

}  // namespace
