// The live report road: the device simulator publishes a cursor report, the
// relay carries it over loopback into the host runtime, the plug-in decodes it
// and sends event 0xfc08040f, and a subscriber of the host receives it. On a
// steady line, across a line cut for a second, across a device restart, and
// lcd-host watch against hostile streams.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <httplib.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "communicator/devicesettings.h"
#include "devicesim/devicesimulator.h"
#include "host/plugin.h"
#include "host/runtime.h"
#include "layercutout/messageids.h"
#include "proto/constants.h"
#include "proto/layercutout.h"
#include "proto/reportstream.h"
#include "proto/response.h"
#include "reportrelay/reportrelay.h"

namespace {

using Clock = std::chrono::steady_clock;

// The simulator, a host with the plug-in loaded and a relay between them; the
// subscriber keeps what arrived and when.
struct Road {
  Road() {
    LCD::Communicator::DeviceSettings settings;
    settings.url = device.url();
    LCD::Communicator::configureDevice(settings);
    plugin = std::make_unique<LCD::Host::Plugin>(LCD_PLUGIN_PATH, runtime);
    runtime.subscribe(LayerCutout::MessageId::kLayerCutoutCursorChanged, [this](const wyn::IMessage& event) {
      const auto& reading = *static_cast<const LCD::ProtoModel::Layer::s_LayerCursorColorResult*>(event.getData());
      const Clock::time_point now = Clock::now();
      std::lock_guard<std::mutex> lock(mutex);
      gaps += reading.cursor.pos.x == lastX + 1 ? 0 : 1;
      lastX = reading.cursor.pos.x;
      arrived = now;
      changed.notify_all();
    });
    relay = std::make_unique<LCD::Relay::ReportRelay>(runtime);
    while (device.reportSubscribers() == 0) std::this_thread::yield();
  }
  ~Road() {
    relay.reset();
    plugin.reset();
  }

  // Publishes the report whose cursor x is `x`, the next after the last one.
  void publish(int x) {
    device.publishReport(
        LCD::Proto::ReportStream::kCursorReportCode,
        {{"layerId", 1},
         {"cursor", {{"enable", 1}, {"pos", {{"x", x}, {"y", 0}}}, {"color", {{"R", 1}, {"G", 2}, {"B", 3}}}}}});
  }

  int lastArrived() {
    std::lock_guard<std::mutex> lock(mutex);
    return lastX;
  }

  // Waits until the report with cursor x `x` has arrived.
  void awaitX(int x) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this, x] { return lastX >= x; });
  }

  LCD::DeviceSim::DeviceSimulator device;
  LCD::Host::Runtime runtime;
  std::unique_ptr<LCD::Host::Plugin> plugin;
  std::unique_ptr<LCD::Relay::ReportRelay> relay;
  std::mutex mutex;
  std::condition_variable changed;
  int lastX = 0;
  int gaps = 0;
  Clock::time_point arrived;
};

Road& road() {
  static Road instance;
  return instance;
}

double percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<std::size_t>(fraction * static_cast<double>(values.size())))];
}

// One report at a time: from the call that publishes it to the subscriber's
// receipt of the plug-in's event.
void BM_PublishToSubscriber(benchmark::State& state) {
  Road& r = road();
  std::vector<double> latencies;
  for (auto _ : state) {
    const int x = r.lastArrived() + 1;
    const Clock::time_point published = Clock::now();
    r.publish(x);
    r.awaitX(x);
    const std::chrono::duration<double> took = r.arrived - published;
    state.SetIterationTime(took.count());
    latencies.push_back(took.count() * 1e6);
  }
  state.counters["p50_us"] = percentile(latencies, 0.50);
  state.counters["p99_us"] = percentile(latencies, 0.99);
  state.counters["gaps"] = r.gaps;
}
BENCHMARK(BM_PublishToSubscriber)->Iterations(5000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// As fast as the road carries them: at most `window` reports on their way at
// once, so that the simulator's queue for the relay (256) never overflows.
void BM_SustainedReports(benchmark::State& state) {
  Road& r = road();
  const int window = static_cast<int>(state.range(0));
  const int reports = static_cast<int>(state.range(1));
  const std::uint64_t missedBefore = r.relay->reportsLost();
  for (auto _ : state) {
    const int first = r.lastArrived() + 1;
    for (int x = first; x < first + reports; ++x) {
      if (x - window >= first) r.awaitX(x - window);
      r.publish(x);
    }
    r.awaitX(first + reports - 1);
  }
  state.SetItemsProcessed(state.iterations() * reports);
  state.counters["gaps"] = r.gaps;
  state.counters["seq_missed"] = static_cast<double>(r.relay->reportsLost() - missedBefore);
}
BENCHMARK(BM_SustainedReports)->Args({128, 50000})->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

// A TCP line between the relay and the device that can be cut: every
// connection on it closed and new ones refused, until it is restored.
class CuttableLine {
 public:
  explicit CuttableLine(int target) : target_(target) { restore(); }
  ~CuttableLine() { cut(); }

  int port() const { return port_; }

  void cut() {
    ::shutdown(listener_, SHUT_RDWR);
    accepting_.join();
    ::close(listener_);
    std::vector<std::thread> pumps;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (int fd : connections_) ::shutdown(fd, SHUT_RDWR);
      pumps.swap(pumps_);
    }
    for (std::thread& pump : pumps) pump.join();
    std::lock_guard<std::mutex> lock(mutex_);
    for (int fd : connections_) ::close(fd);
    connections_.clear();
  }

  void restore() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address = loopback(port_);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    ::listen(listener_, SOMAXCONN);
    accepting_ = std::thread([this] { accept(); });
  }

 private:
  static sockaddr_in loopback(int port) {
    return {AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
  }
  void accept() {
    for (int client; (client = ::accept(listener_, nullptr, nullptr)) >= 0;) {
      const int device = ::socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in address = loopback(target_);
      ::connect(device, reinterpret_cast<sockaddr*>(&address), sizeof address);
      std::lock_guard<std::mutex> lock(mutex_);
      connections_.insert(connections_.end(), {client, device});
      pumps_.emplace_back([client, device] { pump(client, device); });
      pumps_.emplace_back([client, device] { pump(device, client); });
    }
  }
  static void pump(int from, int to) {
    char bytes[65536];
    for (ssize_t count; (count = ::read(from, bytes, sizeof bytes)) > 0;) {
      if (::send(to, bytes, static_cast<std::size_t>(count), MSG_NOSIGNAL) != count) break;
    }
    ::shutdown(to, SHUT_RDWR);
    ::shutdown(from, SHUT_RDWR);
  }

  const int target_;
  int port_ = 0;
  int listener_ = -1;
  std::thread accepting_;
  std::mutex mutex_;
  std::vector<int> connections_;
  std::vector<std::thread> pumps_;
};

// A host with the plug-in, a relay to `url`, and what its subscriber heard:
// the cursor x of each 0xfc08040f (counting gaps and repeats) and each
// 0xfc08040e's layers.
struct Subscriber {
  explicit Subscriber(const std::string& url) {
    LCD::Communicator::DeviceSettings settings;
    settings.url = url;
    LCD::Communicator::configureDevice(settings);
    plugin = std::make_unique<LCD::Host::Plugin>(LCD_PLUGIN_PATH, runtime);
    runtime.subscribe(LayerCutout::MessageId::kLayerCutoutCursorChanged, [this](const wyn::IMessage& event) {
      const int x = static_cast<const LCD::ProtoModel::Layer::s_LayerCursorColorResult*>(event.getData())->cursor.pos.x;
      std::lock_guard<std::mutex> lock(mutex);
      gaps += x > lastX + 1 ? 1 : 0;
      repeats += x <= lastX ? 1 : 0;
      lastX = std::max(lastX, x);
      changed.notify_all();
    });
    runtime.subscribe(LayerCutout::MessageId::kLayerCutoutChanged, [this](const wyn::IMessage& event) {
      std::lock_guard<std::mutex> lock(mutex);
      cutouts.push_back(*static_cast<const std::vector<LCD::ProtoModel::Layer::s_LayerCutout>*>(event.getData()));
      changed.notify_all();
    });
    LCD::Relay::RelayOptions options;
    options.observer = [this](LCD::Relay::Notice notice, const std::string&) {
      std::lock_guard<std::mutex> lock(mutex);
      opened += notice == LCD::Relay::Notice::Opened ? 1 : 0;
      changed.notify_all();
    };
    relay = std::make_unique<LCD::Relay::ReportRelay>(runtime, options);
  }
  ~Subscriber() {
    relay.reset();
    plugin.reset();
  }
  template <typename Condition>
  void await(Condition condition) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return condition(*this); });
  }

  LCD::Host::Runtime runtime;
  std::unique_ptr<LCD::Host::Plugin> plugin;
  std::unique_ptr<LCD::Relay::ReportRelay> relay;
  std::mutex mutex;
  std::condition_variable changed;
  int lastX = 0;
  int gaps = 0;
  int repeats = 0;
  int opened = 0;
  std::vector<std::vector<LCD::ProtoModel::Layer::s_LayerCutout>> cutouts;
};

void publishCursor(LCD::DeviceSim::DeviceSimulator& device, int x) {
  device.publishReport(
      LCD::Proto::ReportStream::kCursorReportCode,
      {{"layerId", 1},
       {"cursor", {{"enable", 1}, {"pos", {{"x", x}, {"y", 0}}}, {"color", {{"R", 1}, {"G", 2}, {"B", 3}}}}}});
}

void report(benchmark::State& state, std::vector<double> millis) {
  state.counters["p50_ms"] = percentile(millis, 0.50);
  state.counters["p99_ms"] = percentile(millis, 0.99);
  state.counters["max_ms"] = percentile(millis, 1.0);
}

// The line cut for a second while the device goes on publishing 50 reports;
// the time from the line coming back to the last of them delivered. Every
// one must arrive once, in order.
void BM_CutLine(benchmark::State& state) {
  LCD::DeviceSim::DeviceSimulator device;
  CuttableLine line(device.port());
  Subscriber subscriber("http://127.0.0.1:" + std::to_string(line.port()));
  subscriber.await([](const Subscriber& s) { return s.opened > 0; });
  std::vector<double> millis;
  int x = 0;
  for (auto _ : state) {
    line.cut();
    for (int i = 0; i < 50; ++i) {
      publishCursor(device, ++x);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    line.restore();
    const Clock::time_point back = Clock::now();
    subscriber.await([x](const Subscriber& s) { return s.lastX == x; });
    millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - back).count());
    state.SetIterationTime(millis.back() / 1000);
  }
  report(state, millis);
  state.counters["gaps"] = subscriber.gaps;
  state.counters["repeats"] = subscriber.repeats;
}
BENCHMARK(BM_CutLine)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

// The device restarts (down for 200 ms) after layer 3 was set; the time from
// the new device listening to the subscriber holding its whole state, layer 3
// back at its defaults.
void BM_DeviceRestart(benchmark::State& state) {
  auto device = std::make_unique<LCD::DeviceSim::DeviceSimulator>();
  const int port = device->port();
  Subscriber subscriber(device->url());
  subscriber.await([](const Subscriber& s) { return s.opened > 0; });
  std::vector<double> millis;
  for (auto _ : state) {
    httplib::Client client("127.0.0.1", port);
    const std::string token = nlohmann::json::parse(
        client.Post(LCD::Proto::Constants::POSTLOGIN, R"({"username":"admin","password":"admin"})", "application/json")
            ->body)["data"]["token"];
    std::vector<LCD::ProtoModel::Layer::s_LayerCutout> layer(1);
    layer[0].layerId = 3;
    layer[0].cutout.enable = 1;
    std::string body;
    LCD::ProtoModel::encode(body, layer);
    client.Put(LCD::Proto::Constants::PUTLAYERSCUTOUT, {{"Authorization", token}}, body, "application/json");
    std::size_t held = 0;
    subscriber.await([&held](const Subscriber& s) {
      held = s.cutouts.size();
      return !s.cutouts.empty() && s.cutouts.back().size() == 1 && s.cutouts.back()[0].cutout.enable == 1;
    });
    device.reset();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    LCD::DeviceSim::SimulatorOptions options;
    options.port = port;
    device = std::make_unique<LCD::DeviceSim::DeviceSimulator>(options);
    const Clock::time_point back = Clock::now();
    subscriber.await([held](const Subscriber& s) {
      return s.cutouts.size() > held && s.cutouts.back().size() == 16 && s.cutouts.back()[2].cutout.enable == 0;
    });
    millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - back).count());
    state.SetIterationTime(millis.back() / 1000);
  }
  report(state, millis);
}
BENCHMARK(BM_DeviceRestart)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// A device whose report stream is hostile in one way, lcd-host watch against
// it for 10 s: watch's peak resident memory, the stream requests per second
// and how long Ctrl-C takes to end it.
enum class Hostility { EndlessLine, HugeEvent, AcceptThenClose, SlowDrip, Silence, StalledOutput };

class HostileDevice {
 public:
  explicit HostileDevice(Hostility hostility) : hostility_(hostility) {
    server_.Post(LCD::Proto::Constants::POSTLOGIN, [](const httplib::Request&, httplib::Response& response) {
      response.set_content(R"({"code":0,"data":{"token":"t"}})", "application/json");
    });
    server_.Get(LCD::Proto::ReportStream::kPath, [this](const httplib::Request&, httplib::Response& response) {
      ++requests;
      stream(response);
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    listening_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~HostileDevice() {
    stopping_ = true;
    server_.stop();
    listening_.join();
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

  std::atomic<int> requests{0};

 private:
  void stream(httplib::Response& response) {
    if (hostility_ == Hostility::AcceptThenClose) {
      response.set_content("", "text/event-stream");
      return;
    }
    response.set_chunked_content_provider(
        "text/event-stream", [this, sent = std::size_t{0}](std::size_t, httplib::DataSink& sink) mutable {
          static const std::string block(65536, 'x');
          if (stopping_) return false;
          switch (hostility_) {
            case Hostility::EndlessLine:
              if (sent++ == 0) return sink.write("data: ", 6);
              return sink.write(block.data(), block.size());
            case Hostility::HugeEvent: {
              const bool ends = ++sent % 256 == 0;  // 16 MiB of data, then the end of the event
              return sink.write(ends ? "\n\ndata: " : block.data(), ends ? 8 : block.size());
            }
            case Hostility::SlowDrip:
              std::this_thread::sleep_for(std::chrono::milliseconds(100));
              return sink.write("x", 1);
            default:
              if (sent++ == 0) return sink.write("event: heartbeat\ndata: 1000\n\n", 29);
              std::this_thread::sleep_for(std::chrono::milliseconds(50));
              return true;
          }
        });
  }

  const Hostility hostility_;
  std::atomic<bool> stopping_{false};
  httplib::Server server_;
  int port_ = 0;
  std::thread listening_;
};

// lcd-host watch, its standard output a pipe that nobody reads when `stalled`.
pid_t startWatch(const std::string& url, bool stalled, int& pipeEnd) {
  int out[2];
  if (pipe(out) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    dup2(stalled ? out[1] : null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execl(LCD_HOST_PATH, LCD_HOST_PATH, "--device", url.c_str(), "watch", static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(out[1]);
  pipeEnd = out[0];
  return pid;
}

double peakResidentMegabytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  }
  return 0;
}

void BM_HostileStream(benchmark::State& state) {
  const auto hostility = static_cast<Hostility>(state.range(0));
  constexpr auto kRun = std::chrono::seconds(10);
  for (auto _ : state) {
    std::unique_ptr<HostileDevice> hostile;
    std::unique_ptr<LCD::DeviceSim::DeviceSimulator> simulator;
    std::string url;
    if (hostility == Hostility::StalledOutput) {
      simulator = std::make_unique<LCD::DeviceSim::DeviceSimulator>();
      url = simulator->url();
    } else {
      hostile = std::make_unique<HostileDevice>(hostility);
      url = hostile->url();
    }
    int pipeEnd = -1;
    const pid_t watch = startWatch(url, hostility == Hostility::StalledOutput, pipeEnd);
    const Clock::time_point end = Clock::now() + kRun;
    // The simulator publishes 4,000 reports a second of 1 KiB each, none of them read.
    for (int x = 1; Clock::now() < end; ++x) {
      if (simulator) {
        simulator->publishReport(LCD::Proto::ReportStream::kCursorReportCode, std::string(1024, 'x'));
      }
      std::this_thread::sleep_for(std::chrono::microseconds(simulator ? 250 : 100000));
    }
    state.counters["peak_rss_MB"] = peakResidentMegabytes(watch);
    state.counters["requests_per_s"] = hostile ? hostile->requests / 10.0 : 0;
    const Clock::time_point interrupted = Clock::now();
    kill(watch, SIGINT);
    int status = 0;
    waitpid(watch, &status, 0);
    state.counters["stop_ms"] = std::chrono::duration<double, std::milli>(Clock::now() - interrupted).count();
    state.counters["exit"] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ::close(pipeEnd);
  }
}
BENCHMARK(BM_HostileStream)->DenseRange(0, 5)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
