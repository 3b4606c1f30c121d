#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "layercutout/httpclient.h"
#include "layercutout/httprequest.h"
#include "layercutout/httprespon.h"
#include "layercutout/httpsingleton.h"

using Headers = std::vector<std::pair<std::string, std::string>>;

// How a scripted device answers a request.
struct Script {
  std::string body;                       // of a 200 reply
  std::optional<std::string> bytes = {};  // sent as they are instead; none at all: it stays silent
  bool endless = false;                   // spaces follow until the client leaves
};

inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// Whether `request` asks for `path` by `method`.
inline bool asks(const std::string& request, const std::string& method, const std::string& path) {
  return request.rfind(method + " " + path + " ", 0) == 0;
}

// A device on a loopback port that follows a script instead of the protocol:
// it keeps every request as the bytes that arrived and answers each as
// `answer` says (by default, a 200 with no body).
class ScriptedDevice {
 public:
  using Answer = std::function<Script(const std::string& request)>;
  explicit ScriptedDevice(Answer answer = [](const std::string&) { return Script{}; }) : answer_(std::move(answer)) {
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
    listen(listener_, 64);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    address_ = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    acceptor_ = std::thread([this] {
      for (int connection; (connection = accept(listener_, nullptr, nullptr)) >= 0;) {
        connections_.emplace_back(connection, std::thread([this, connection] { serve(connection); }));
      }
    });
  }
  ~ScriptedDevice() {
    shutdown(listener_, SHUT_RDWR);
    acceptor_.join();
    for (auto& [connection, server] : connections_) {
      shutdown(connection, SHUT_RDWR);
      server.join();
      close(connection);
    }
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
    const Script script = answer_(request);
    const std::string bytes = script.bytes.value_or(
        "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(script.body.size()) + "\r\n\r\n" + script.body);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
    }
    send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    const std::string chunk(1 << 16, ' ');
    for (int sent = 0; script.endless && sent < 4096; ++sent) {  // 256 MiB, then give up
      if (send(connection, chunk.data(), chunk.size(), MSG_NOSIGNAL) < 0) break;
    }
  }

  const Answer answer_;
  const int listener_ = socket(AF_INET, SOCK_STREAM, 0);
  std::string address_;
  std::thread acceptor_;
  std::vector<std::pair<int, std::thread>> connections_;  // changed by the acceptor only
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
};

// One request through the communicator, made and released as the plug-in
// does: sendRequest's out-value when it returned a response, else at most -1.
inline int sendRequest(const std::string& method, const std::string& path, const std::string& body,
                       const Headers& headers) {
  HttpClient* client = HttpSingleTon::getInstance()->getHttpClient();
  HttpRequest* request = client->createRequest(method.c_str(), path.c_str());
  for (const auto& [name, value] : headers) request->setHead(name.c_str(), value.c_str());
  request->setBody(body.data(), static_cast<int>(body.size()));
  int out = 0;
  HttpRespon* respon = client->sendRequest(request, &out);
  const int answer = respon != nullptr ? out : std::min(out, -1);
  client->deleteRequest(request);
  client->deleteRespon(respon);
  return answer;
}
