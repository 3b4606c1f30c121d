// The device simulator beside idle, busy and hostile clients: a new client's
// wait with many idle connections open, many clients on kept-alive
// connections, and how long each hostile client keeps its connection's thread.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "devicesim/devicesimulator.h"
#include "proto/constants.h"

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;
namespace Constants = LCD::Proto::Constants;

constexpr char kCursorRequest[] = R"({"layerId":2,"cursor":{"enable":1,"pos":{"x":640,"y":360}}})";

struct Device {
  Device() {
    httplib::Client login("127.0.0.1", simulator.port());
    login.Post(Constants::POSTLOGIN, R"({"username":"admin","password":"admin"})", "application/json");
    token = simulator.currentToken();
  }
  LCD::DeviceSim::DeviceSimulator simulator;
  std::string token;
};

Device& device() {
  static Device instance;
  return instance;
}

// As libcurl does: without it each request's body waits for the
// acknowledgement of its head.
httplib::Client newClient() {
  httplib::Client client("127.0.0.1", device().simulator.port());
  client.set_tcp_nodelay(true);
  return client;
}

bool readColour(httplib::Client& client) {
  const httplib::Result reply = client.Put(Constants::PUTLAYERSCUTOUTCURSOR, {{"Authorization", device().token}},
                                           kCursorRequest, "application/json");
  return reply && reply->status == 200;
}

int connectToDevice() {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(device().simulator.port()));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(socket);
    return -1;
  }
  return socket;
}

void sendAll(int socket, const std::string& bytes) {
  for (std::size_t sent = 0; sent < bytes.size();) {
    const ssize_t n = ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

// Every connection has a thread of its own, so the process's thread count
// says how many connections the simulator is still serving.
int threadsInProcess() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
  }
  return -1;
}

// Waits until the process's thread count compares to `threads` as asked
// (by default: back down to it); false after `limit`.
template <typename Compare = std::less_equal<>>
bool settlesTo(int threads, Seconds limit, Compare reached = {}) {
  const auto deadline = Clock::now() + limit;
  while (!reached(threadsInProcess(), threads)) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// A new client (new connection) reads the cursor colour while `count` idle
// connections are open. The timed part is that one request.
void BM_NewClientBesideIdleConnections(benchmark::State& state) {
  const int before = threadsInProcess();
  double slowest = 0;
  for (auto _ : state) {
    std::vector<int> idle;
    for (int64_t i = 0; i < state.range(0); ++i) idle.push_back(connectToDevice());
    settlesTo(before + static_cast<int>(state.range(0)), Seconds(5), std::greater_equal<>());  // all accepted
    httplib::Client client = newClient();
    const auto start = Clock::now();
    const bool answered = readColour(client);
    const Seconds took = Clock::now() - start;
    state.SetIterationTime(took.count());
    slowest = std::max(slowest, took.count());
    for (int socket : idle) close(socket);
    if (!answered || std::count(idle.begin(), idle.end(), -1) > 0) {
      state.SkipWithError("a connection or the request failed");
      break;
    }
    settlesTo(before, Seconds(5));
  }
  state.counters["slowest_ms"] = slowest * 1000;
}
BENCHMARK(BM_NewClientBesideIdleConnections)->Arg(256)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

// `clients` threads, each on one kept-alive connection, read the cursor
// colour `requests` times each.
void BM_KeptAliveClients(benchmark::State& state) {
  const int clients = static_cast<int>(state.range(0));
  const int requests = static_cast<int>(state.range(1));
  std::atomic<int> answered{0};
  for (auto _ : state) {
    device().simulator.clearRequests();
    answered = 0;
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
      threads.emplace_back([&answered, requests] {
        httplib::Client client = newClient();
        client.set_keep_alive(true);
        for (int r = 0; r < requests; ++r) answered += readColour(client);
      });
    }
    for (std::thread& thread : threads) thread.join();
  }
  state.SetItemsProcessed(state.iterations() * clients * requests);
  state.counters["lost"] = clients * requests - answered;
  state.counters["connections"] = static_cast<double>(device().simulator.acceptedConnections());
}
BENCHMARK(BM_KeptAliveClients)->Args({64, 1000})->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

struct Hostile {
  std::string name;
  std::string bytes;         // sent at once, then nothing more
  bool readsSlowly = false;  // then reads the reply one byte a second
};

// The slow reader asks for an assessment whose reply is padded to 16 MB, so
// that writing it must wait for the client.
constexpr std::size_t kSlowReplyPadding = 16u << 20;

std::vector<Hostile> hostileClients() {
  const std::string path = Constants::PUTLAYERSCUTOUTCURSOR;
  const std::string headers = " HTTP/1.1\r\nHost: device\r\nAuthorization: " + device().token + "\r\n";
  const std::string head = "PUT " + path + headers;
  std::string manyLines;
  for (int i = 0; i < 10000; ++i) manyLines += "X-Line-" + std::to_string(i) + ": v\r\n";
  return {
      {"header_line_1MB", head + "X-Long: " + std::string(1 << 20, 'a') + "\r\nContent-Length: 2\r\n\r\n{}"},
      {"header_lines_10000", head + manyLines + "Content-Length: 2\r\n\r\n{}"},
      {"body_short_then_silent", head + "Content-Length: 100\r\n\r\n{\"layerId\":2"},
      {"reads_1_byte_a_second",
       std::string("PUT ") + Constants::TAVROPROTOPUTASSESSLAYERCUTOUT + headers + "Content-Length: 2\r\n\r\n[]", true},
      {"request_line_without_end", "PUT " + path + "?" + std::string(4096, 'a')},
  };
}

std::thread slowReaderOf(int socket, const std::atomic<bool>& reading) {
  return std::thread([socket, &reading] {
    char byte = 0;
    while (reading && recv(socket, &byte, 1, 0) > 0) std::this_thread::sleep_for(std::chrono::seconds(1));
  });
}

// One hostile client, from its last byte: when the simulator answered or
// closed the connection (answered_s), how long a new client meanwhile waited
// for its answer (others_ms), and when the connection's thread ended (the
// time); then whether the simulator still serves.
void BM_HostileClient(benchmark::State& state, const Hostile& hostile) {
  device().simulator.injectFault(Constants::TAVROPROTOPUTASSESSLAYERCUTOUT,
                                 {LCD::DeviceSim::FaultKind::LargeBody, true, {}, kSlowReplyPadding});
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // earlier connections past their keep-alive
  const int before = threadsInProcess();
  double answeredAfter = -1;
  double othersWaited = -1;
  for (auto _ : state) {
    const int socket = connectToDevice();
    sendAll(socket, hostile.bytes);
    const auto start = Clock::now();
    std::atomic<bool> reading{true};
    std::thread slowReader = hostile.readsSlowly ? slowReaderOf(socket, reading) : std::thread();
    const int served = before + (hostile.readsSlowly ? 1 : 0);  // the slow reader's own thread
    settlesTo(served + 1, Seconds(1), std::greater_equal<>());  // the connection's thread has started
    std::thread otherClient([&othersWaited] {
      httplib::Client other = newClient();
      const auto asked = Clock::now();
      if (readColour(other)) othersWaited = Seconds(Clock::now() - asked).count() * 1000;
    });
    pollfd watched{socket, POLLIN, 0};
    for (;;) {  // a reply or a close shows before the connection's thread ends
      const double elapsed = Seconds(Clock::now() - start).count();
      if (answeredAfter < 0 && !hostile.readsSlowly && poll(&watched, 1, 0) > 0) answeredAfter = elapsed;
      if (threadsInProcess() <= served || elapsed > 30) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    state.SetIterationTime(Seconds(Clock::now() - start).count());
    otherClient.join();
    reading = false;
    shutdown(socket, SHUT_RDWR);
    if (slowReader.joinable()) slowReader.join();
    close(socket);
  }
  device().simulator.clearFaults();
  httplib::Client client = newClient();
  state.counters["answered_s"] = answeredAfter;
  state.counters["others_ms"] = othersWaited;
  state.counters["still_serving"] = readColour(client);
}

}  // namespace

int main(int argc, char** argv) {
  for (const Hostile& hostile : hostileClients()) {
    benchmark::RegisterBenchmark(("BM_HostileClient/" + hostile.name).c_str(), BM_HostileClient, hostile)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
