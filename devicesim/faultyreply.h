#pragma once

#include "devicesim/fault.h"
#include "devicesim/reply.h"

namespace LCD {
namespace DeviceSim {

// `reply` as spoiled by `fault`. Faults that are about timing or the
// connection rather than the content (slow reply, dropped connection) leave it as it is.
Reply faultyReply(const Fault& fault, Reply reply);

}  // namespace DeviceSim
}  // namespace LCD
