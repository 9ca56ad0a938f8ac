// Records what the pipeline reports, in place of debugger output and boxes.
#pragma once
#include <string>
#include <vector>

struct ReportCapture {
  std::vector<std::string> lines;
  int notFitsBoxes = 0;
};
extern ReportCapture TheReports;
