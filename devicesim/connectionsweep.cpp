#include "devicesim/connectionsweep.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
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
    // A duplicate keeps the socket alive while it is examined, even if its
    // connection closes the original meanwhile and the number is reused.
    const int socket = dup(std::atoi(entry->d_name));
    if (socket < 0) {
      continue;
    }
    if (localPortOf(socket) == port && isConnected(socket)) {
      ::shutdown(socket, SHUT_RDWR);
    }
    close(socket);
  }
  closedir(descriptors);
}

}  // namespace DeviceSim
}  // namespace LCD
