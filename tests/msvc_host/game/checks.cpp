#include "game/checks.h"

#include "seam.h"

namespace {
const char* stepInProgress = "starting";
}  // namespace

void Check(const char* name, bool passed, const char* detail) {
  GlueReportCheck(name, passed ? 1 : 0, detail);
}

void Check(const char* name, bool passed, const Line& detail) {
  Check(name, passed, detail.Text());
}

void BeginStep(const char* step) {
  stepInProgress = step;
}

extern "C" const char* GameStepInProgress() {
  return stepInProgress;
}
