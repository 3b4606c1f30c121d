#pragma once

#include <httplib.h>

#include <mutex>
#include <set>

namespace LCD {
namespace DeviceSim {

// cpp-httplib's server running each accepted connection through a loop of
// its own, so that it knows the socket of every connection it serves and can
// end them all at once: idle, streaming reports or blocked in a write.
// cpp-httplib hands out an accepted socket nowhere else.
class ConnectionServer final : public httplib::Server {
 public:
  // Shuts down the socket of every connection being served; a connection
  // that begins afterwards ends at once.
  void endConnections();

 private:
  bool process_and_close_socket(socket_t sock) override;
  // Whether `sock` is to be served; false once the connections are ending.
  bool track(socket_t sock);
  void untrackAndClose(socket_t sock);

  std::mutex mutex_;
  std::set<socket_t> serving_;  // closed only under mutex_, so a number here always names our own socket
  bool ending_ = false;
};

}  // namespace DeviceSim
}  // namespace LCD
