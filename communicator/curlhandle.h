#pragma once

#include <curl/curl.h>

namespace LCD {
namespace Communicator {

// The calling thread's easy handle, or null when libcurl cannot make one. It
// is kept, with the connections it holds open, until the thread ends, so that
// a stream of requests from one thread pays for one TCP handshake only.
CURL* threadCurlHandle();

}  // namespace Communicator
}  // namespace LCD
