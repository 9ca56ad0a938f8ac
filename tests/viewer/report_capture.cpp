#include "report_capture.h"

#include "report.h"

ReportCapture TheReports;

void ReportDebugText(const char* text) { TheReports.lines.push_back(text); }
void ReportFailure(const char* routine, const char* what) {
  TheReports.lines.push_back(std::string("DIDA Duvara - ") + routine + "() : " + what);
}
void ShowNotFitsBox() { ++TheReports.notFitsBoxes; }
