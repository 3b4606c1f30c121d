#include "tests/stress/probes.h"

#include <vector>

#include "proto/constants.h"
#include "tests/stress/commands.h"

namespace Stress {

namespace {

Outcome sendSetCutout(LCD::Host::Runtime& runtime) {
  const auto result = setCutout(runtime, layersNumbered({1, 2}));
  if (!result.reply.has_value()) return Outcome::NoAnswer;
  if (*result.reply == std::vector<unsigned char>{1}) return Outcome::AnswerOne;
  if (*result.reply == std::vector<unsigned char>{0}) return Outcome::AnswerZero;
  return Outcome::Unexpected;
}

Outcome sendReadCursor(LCD::Host::Runtime& runtime) {
  const auto request = cursorAt(2, 300, 100);
  const auto result = readCursor(runtime, request);
  if (!result.reply.has_value()) return Outcome::NoAnswer;
  const std::vector<int> words = cursorWords(result);
  if (words == deviceReading(request)) return Outcome::DeviceReading;
  if (words == markedDefault()) return Outcome::MarkedDefault;
  return Outcome::Unexpected;
}

// The assessment never answers: its outcome is the sender's record.
Outcome sendAssess(LCD::Host::Runtime& runtime) {
  auto record = exchangeFor({1, 2});
  const auto result = assess(runtime, record);
  if (result.reply.has_value()) return Outcome::Unexpected;
  if (isUntouched(record)) return Outcome::RecordUntouched;
  if (holdsItsOwnResults(record)) return Outcome::RecordWritten;
  return Outcome::Unexpected;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, Outcome outcome) {
  static const char* const names[] = {"NoAnswer",      "AnswerOne",     "AnswerZero",      "DeviceReading",
                                      "MarkedDefault", "RecordWritten", "RecordUntouched", "Unexpected"};
  return out << names[static_cast<int>(outcome)];
}

const Probe kSetCutoutProbe{"SetCutout", LCD::Proto::Constants::PUTLAYERSCUTOUT,
                            "wyn::IMessage* LayerCutout::LayerCutoutModel::setLayerCutout(const wyn::IMessage*)",
                            sendSetCutout, Outcome::AnswerOne};
const Probe kReadCursorProbe{"ReadCursor", LCD::Proto::Constants::PUTLAYERSCUTOUTCURSOR,
                             "wyn::IMessage* LayerCutout::LayerCutoutModel::setLayerCutoutCursor(const wyn::IMessage*)",
                             sendReadCursor, Outcome::DeviceReading};
const Probe kAssessProbe{"Assess", LCD::Proto::Constants::TAVROPROTOPUTASSESSLAYERCUTOUT,
                         "wyn::IMessage* LayerCutout::LayerCutoutModel::getLayerCutoutAssess(const wyn::IMessage*)",
                         sendAssess, Outcome::RecordWritten};

}  // namespace Stress
