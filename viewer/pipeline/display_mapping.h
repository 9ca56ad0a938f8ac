// The display mapping: level choice and the transfer of decoded samples to
// 8-bit intensities in a bottom-up 32-bit picture.
#pragma once
#include <cstddef>
#include <cstdint>

// What the automatic levels are computed from.
struct LevelSources {
  double minP, maxP;
  double avgPV;         // mean sample value; 0 is replaced by half the full scale
  int realbitpix;
  double mWhiteLevel, mBlackLevel;  // header levels, 0 = none
  int fitsplugIn;
};

struct Levels {
  double white;  // ScaleBrightness
  double black;  // ScaleContrast
};

// Half the unsigned full scale of a sample size, the mean of an empty image.
double HalfFullScale(int realbitpix);

// Automatic levels: white so that the mean sits 15 % above the minimum, the
// header's levels when they are narrower and above the mean, the data range
// when the automatic white would pass the maximum or FITSPLUG asks for it.
// `sources.avgPV` is updated when it was 0.
Levels AutomaticLevels(LevelSources& sources);

// One sample to one intensity: offset by the data minimum, gain
// 256 / (white - black), clipped to 0..255; NaN gives 0.
struct Transfer {
  double minP;
  double gain;
  explicit Transfer(double minimum, Levels levels);
  uint8_t operator()(double x) const {
    double d = (x - minP) * gain;
    if (!(d >= 0)) return 0;  // negative or NaN
    if (d > 255) return 255;
    return static_cast<uint8_t>(d);
  }
};

// Writes width x height pixels (blue, green, red, 0) bottom-up, the first
// data row at the top. Monochrome: one plane to grey; colour: planes 0, 1, 2
// to red, green, blue.
void MapSamples(const double* values, uint32_t width, uint32_t height, int planes, const Transfer& transfer,
                uint8_t* pixels);

// Fit-to-window zoom in percent: the smaller of the two ratios of client
// size plus one to image size, never below 1. An empty image keeps `current`.
int FitZoom(int clientWidth, int clientHeight, uint32_t imageWidth, uint32_t imageHeight, int current);
