#pragma once

namespace LCD {
namespace DeviceSim {

// The "code" values the simulated device puts in its reply envelopes.
namespace ResultCode {
constexpr int ok = 0;
constexpr int unknownLayer = 1;
constexpr int malformedBody = 2;
constexpr int outsideCanvas = 3;
constexpr int badCredentials = 4;
constexpr int unauthorized = 5;
constexpr int noSuchResource = 6;
constexpr int internalError = 7;
}  // namespace ResultCode

}  // namespace DeviceSim
}  // namespace LCD
