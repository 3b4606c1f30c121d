#pragma once

#include <string>
#include <utility>
#include <vector>

namespace LCD {
namespace Communicator {

using HeaderFields = std::vector<std::pair<std::string, std::string>>;

// What came back from one exchange: the HTTP status and body of the answer,
// or a negative status (minus libcurl's error number) when none arrived.
struct ExchangeResult {
  int status;
  std::string body;

  bool answered() const { return status > 0; }
};

// One HTTP exchange on the calling thread's kept-alive connection. The
// headers go out exactly as given, with no defaults of libcurl's own beyond
// Host and Content-Length; the body goes out byte for byte.
ExchangeResult performExchange(const std::string& method, const std::string& url, const HeaderFields& headers,
                               const std::string& body, long timeoutMs);

}  // namespace Communicator
}  // namespace LCD
