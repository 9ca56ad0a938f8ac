#include "level_commands.h"

#include <cmath>
#include <cstdio>
#include <cstring>

bool ApplyLevelCommand(int command, LevelSteps& l, double minP, double maxP) {
  switch (command) {
    case kWhiteUp:
      if (!(l.white < maxP - l.brightnessInc)) return false;
      l.white += l.brightnessInc;
      return true;
    case kWhiteDown:
      if (!(l.white > l.black + l.brightnessInc && l.white > minP + l.brightnessInc)) return false;
      l.white -= l.brightnessInc;
      return true;
    case kBlackUp:
      if (!(l.black < l.white - l.contrastInc)) return false;
      l.black += l.contrastInc;
      return true;
    case kBlackDown:
      if (!(l.black > minP + l.contrastInc)) return false;
      l.black -= l.contrastInc;
      return true;
    case kFullRange:
      if (!(l.white != maxP || l.black != minP)) return false;
      l.white = maxP;
      l.black = minP;
      return true;
    default:
      return false;
  }
}

double LevelStep(double white, double black, int realbytepix) {
  // The factor is rounded to single precision as the original arithmetic did.
  float f = realbytepix != 0 ? 4.0f / static_cast<float>(realbytepix) : 0.0f;
  double step = std::fabs((white - black) / (f * 6.0));
  return step == 0 || !std::isfinite(step) ? 10.0 : step;
}

void FormatLevel(double level, char* text, size_t size) {
  snprintf(text, size, "%.5g", level);
  size_t length = strlen(text);
  if (length > 0 && text[length - 1] == '.') text[length - 1] = '\0';
}
