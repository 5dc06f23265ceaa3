// What happened to each group of forms the demonstration built, by the note each carries.
#pragma once

namespace sim {

// Traces, per type and note, how many forms were erased and kept, then the engine's
// erase and lock counts.
void PrintFormSummary();

}  // namespace sim
