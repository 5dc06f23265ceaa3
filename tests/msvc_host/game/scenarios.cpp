#include "game/scenarios.h"

#include "game/text.h"
#include "seam.h"

namespace {

struct Scenario {
  const char* name;
  void (*run)();
};

void ArmedKeepingOutposts() {
  RunArmedCleaning(Outposts::Kept);
}
void ArmedErasingOutposts() {
  RunArmedCleaning(Outposts::Erased);
}

constexpr Scenario Scenarios[] = {
    {"armed, outposts kept", &ArmedKeepingOutposts},
    {"armed, outposts erased", &ArmedErasingOutposts},
    {"idle start", &RunIdleStart},
    {"fatal first load", &RunFatalFirstLoad},
    {"cast width", &RunCastWidth},
};

}  // namespace

extern "C" uint32_t GameScenarioCount() {
  return sizeof Scenarios / sizeof Scenarios[0];
}

extern "C" const char* GameScenarioName(uint32_t index) {
  return index < GameScenarioCount() ? Scenarios[index].name : nullptr;
}

extern "C" int32_t GameRunScenario(const char* name) {
  for (const Scenario& scenario : Scenarios) {
    if (TextEquals(scenario.name, name)) {
      scenario.run();
      return 1;
    }
  }
  return 0;
}
