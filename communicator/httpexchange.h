#pragma once

#include "communicator/devicesettings.h"
#include "communicator/headerfields.h"

#include <cstddef>
#include <string>

namespace LCD {
namespace Communicator {

// What came back from one exchange: the HTTP status and body of the answer,
// or a negative status when none arrived (see kFailedLocally).
struct ExchangeResult {
  int status;
  std::string body;

  bool answered() const { return status > 0; }
};

// One HTTP exchange with the device on the calling thread's kept-alive
// connection, within the device's time-out. The headers go out exactly as
// given, with no defaults of libcurl's own beyond Host and Content-Length; the
// body goes out byte for byte. A reply longer than `replyLimit` bytes counts
// as no answer. Why an exchange got no answer is kept for
// lastExchangeFailure(). Throws std::bad_alloc only.
ExchangeResult performExchange(const DeviceSettings& device, const std::string& method, const std::string& path,
                               const HeaderFields& headers, const std::string& body, std::size_t replyLimit);

// Sets what lastExchangeFailure() reports for an exchange that failed outside performExchange.
void recordExchangeFailure(const char* cause);

}  // namespace Communicator
}  // namespace LCD
