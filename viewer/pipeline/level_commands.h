// The level buttons: guarded steps of the white and black levels, the step
// size that follows each change, and the text of the two read-out fields.
#pragma once
#include <cstddef>

struct LevelSteps {
  double white, black;  // ScaleBrightness, ScaleContrast
  double brightnessInc = 10.0, contrastInc = 10.0;
};

// Command ids of the level buttons.
enum LevelCommand {
  kWhiteUp = 3,    // bBrighten
  kWhiteDown = 4,  // bDim
  kFullRange = 5,  // bNormal
  kBlackUp = 6,    // bContrastUp
  kBlackDown = 7,  // bContrastDown
};

// Applies the command when its guard allows it; true when the levels changed.
// Guards keep white within the data range and black between the minimum and
// white; a NaN level fails every guard.
bool ApplyLevelCommand(int command, LevelSteps& levels, double minP, double maxP);

// The step after a change: the level span divided by 24 / bytes per sample
// (8-bit: span / 24, 16-bit: / 12, 32-bit: / 6); 0 becomes 10.
double LevelStep(double white, double black, int realbytepix);

// A level as shown: five significant digits, no trailing zeros or point.
void FormatLevel(double level, char* text, size_t size);
