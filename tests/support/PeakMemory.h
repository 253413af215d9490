#pragma once
// The test process's peak resident memory, for tests that bound how much of
// a large file a step holds (measured, never timed).
#include <QtGlobal>

namespace PeakMemory {

// Starts the peak afresh from what the process holds now, where the system
// allows it; elsewhere the peak so far stays (a bound then only gets looser).
void reset();

// The peak resident memory in bytes since reset() (or since the start).
qint64 bytes();

}  // namespace PeakMemory
