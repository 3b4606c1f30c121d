#pragma once

#include <ostream>

#include "host/runtime.h"

namespace Stress {

// What the sender finds after one command: the set command's answer byte, the
// cursor answer, or the state of its own assessment record.
enum class Outcome {
  NoAnswer,
  AnswerOne,
  AnswerZero,
  DeviceReading,
  MarkedDefault,
  RecordWritten,
  RecordUntouched,
  Unexpected,
};

std::ostream& operator<<(std::ostream& out, Outcome outcome);

// One of the model's commands, sent with a fixed valid request: layers 1 and 2
// for the settings and the assessment, layer 2 at (300, 100) for the cursor,
// where the simulated device reads yellow.
struct Probe {
  const char* name;
  const char* path;       // of the device resource the command goes to
  const char* signature;  // of the handler, as its log shows it
  Outcome (*send)(LCD::Host::Runtime& runtime);
  Outcome success;
};

extern const Probe kSetCutoutProbe;
extern const Probe kReadCursorProbe;
extern const Probe kAssessProbe;

}  // namespace Stress
