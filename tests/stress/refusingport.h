#pragma once

#include <string>

// A loopback port that is bound but not listening, so every connection to it
// is refused at once, as by a device whose service is down. The port stays
// bound for the object's lifetime, so nothing else takes it meanwhile.
class RefusingPort {
 public:
  RefusingPort();  // throws std::system_error
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;

  std::string url() const;

 private:
  int socket_;
  int port_;
};
