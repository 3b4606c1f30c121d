#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What a scripted device sends for a request to one path: these bytes (none
// at all: it stays silent), then, if endless, spaces until the client leaves.
struct Script {
  std::string bytes;
  bool endless;
};

inline Script reply(const std::string& body) {
  return {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body, false};
}

// A device on a loopback port that follows a script instead of the protocol:
// it keeps every request as the bytes that arrived and answers each by its
// path, with an empty 200 reply where there is no script.
class ScriptedDevice {
 public:
  explicit ScriptedDevice(std::map<std::string, Script> scripts = {}) : scripts_(std::move(scripts)) {
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
    listen(listener_, 64);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    address_ = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    acceptor_ = std::thread([this] {
      for (int connection; (connection = accept(listener_, nullptr, nullptr)) >= 0;) {
        connections_.push_back(connection);
        servers_.emplace_back([this, connection] { serve(connection); });
      }
    });
  }
  ~ScriptedDevice() {
    shutdown(listener_, SHUT_RDWR);
    acceptor_.join();
    for (const int connection : connections_) shutdown(connection, SHUT_RDWR);
    for (auto& server : servers_) server.join();
    for (const int connection : connections_) close(connection);
    close(listener_);
  }

  const std::string& address() const { return address_; }
  std::vector<std::string> requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  void serve(int connection) {
    std::string received;
    char buffer[1 << 16];
    for (ssize_t n; (n = recv(connection, buffer, sizeof buffer, 0)) > 0;) {
      received.append(buffer, static_cast<std::size_t>(n));
      const std::size_t head = received.find("\r\n\r\n");
      const std::size_t field = received.find("Content-Length: ");
      const std::size_t length = head + 4 + (field < head ? std::stoul(received.substr(field + 16)) : 0);
      if (head != std::string::npos && received.size() >= length) {
        respond(connection, received.substr(0, length));
        received.erase(0, length);
      }
    }
  }

  void respond(int connection, const std::string& request) {
    const std::size_t path = request.find(' ') + 1;
    const auto script = scripts_.find(request.substr(path, request.find(' ', path) - path));
    const Script s = script != scripts_.end() ? script->second : reply("");
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
    }
    send(connection, s.bytes.data(), s.bytes.size(), MSG_NOSIGNAL);
    const std::string chunk(1 << 16, ' ');
    for (int sent = 0; s.endless && sent < 4096; ++sent) {  // 256 MiB, then give up
      if (send(connection, chunk.data(), chunk.size(), MSG_NOSIGNAL) < 0) break;
    }
  }

  const std::map<std::string, Script> scripts_;
  const int listener_ = socket(AF_INET, SOCK_STREAM, 0);
  std::string address_;
  std::thread acceptor_;
  std::vector<int> connections_;  // and their servers, changed by the acceptor only
  std::vector<std::thread> servers_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
};
