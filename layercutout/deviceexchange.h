#pragma once

#include <string>

class HttpClient;
class HttpRequest;
class HttpRespon;

namespace LayerCutout {

// One synchronous PUT of a JSON body to a device path through the
// communicator: the client, the request with its content type, the current
// login token and the body, then the send. The handler reads the reply and
// decides when to release: a send failure is logged before the request goes,
// a reply is decoded (and a decode failure logged) before both go.
class DeviceExchange {
 public:
  // Blocks until the device answers or the communicator gives up. `body`
  // must outlive the exchange.
  DeviceExchange(const char* path, const std::string& body);
  ~DeviceExchange();
  DeviceExchange(const DeviceExchange&) = delete;
  DeviceExchange& operator=(const DeviceExchange&) = delete;

  // False when no response came back at all.
  bool answered() const;
  // A copy of the reply body, as many bytes as the device sent.
  std::string replyText() const;
  // Deletes the request, then the response; later calls do nothing.
  void release();

 private:
  HttpClient* client_;
  HttpRequest* request_;
  HttpRespon* response_;
};

}  // namespace LayerCutout
