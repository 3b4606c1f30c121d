#pragma once

#include "communicator/export.h"

namespace LCD {
namespace Communicator {

// HttpClient::sendRequest's out-value for a request that failed within this
// process: refused before it left (a device URL or header that cannot be
// sent) or no memory for it. Other failures give minus libcurl's error
// number; an answer gives its HTTP status.
constexpr int kFailedLocally = -1000;

// Why the calling thread's last exchange with the device got no answer, in a
// few words: "refused", "timed out", "could not resolve", "reply too large",
// "out of memory", "unsupported URL", "bad device URL", ... Empty when it was
// answered. The text is static.
LCD_COMMUNICATOR_EXPORT const char* lastExchangeFailure();

}  // namespace Communicator
}  // namespace LCD
