#include "devicesim/devicesimulator.h"

#include "devicesim/device.h"
#include "devicesim/faultplan.h"
#include "devicesim/faultyreply.h"
#include "devicesim/layerviews.h"
#include "devicesim/reportstream.h"
#include "devicesim/simserver.h"
#include "devicesim/viewpage.h"
#include "proto/reportstream.h"

#include <algorithm>
#include <numeric>
#include <set>

namespace LCD {
namespace DeviceSim {
namespace {

// Announces `length` bytes of `body` but sends only `sent` of them; the
// provider's refusal makes the server close the connection there.
void sendThenClose(httplib::Response& response, Reply reply, std::size_t sent) {
  response.status = reply.status;
  const std::size_t length = reply.body.size();
  response.set_content_provider(
      length, "application/json",
      [body = std::move(reply.body), sent](std::size_t, std::size_t, httplib::DataSink& sink) {
        sink.write(body.data(), std::min(sent, body.size()));
        return false;
      });
}

}  // namespace

std::vector<int> layersOneTo(int count) {
  std::vector<int> layers(static_cast<std::size_t>(std::max(count, 0)));
  std::iota(layers.begin(), layers.end(), 1);
  return layers;
}

struct DeviceSimulator::Impl {
  explicit Impl(SimulatorOptions options)
      : host(options.host),
        reports(options.serialNumber, options.reportQueueLimit),
        views(options.layers),
        device({std::move(options.user), std::move(options.password), std::move(options.layers),
                [this](std::uint32_t commandCode, const std::string& body) {
                  views.record(commandCode, body);
                  publish(commandCode, body);
                },
                [this] { return reports.lastId(); }}),
        server(options.maxConnections) {
    const auto handler = [this](const httplib::Request& request, httplib::Response& response) {
      serve(request, response);
    };
    httplib::Server& routes = server.routes();
    routes.Get(Proto::ReportStream::kPath, [this](const httplib::Request& request, httplib::Response& response) {
      streamReports(request, response);
    });
    addViewRoutes(routes, views);
    routes.Get(".*", handler);
    routes.Post(".*", handler);
    routes.Put(".*", handler);
    routes.Patch(".*", handler);
    routes.Delete(".*", handler);
    port = server.start(host, options.port);
  }

  // Streams wait for reports: they must end before the server can stop.
  ~Impl() {
    reports.close();
    views.close();
  }

  void serve(const httplib::Request& request, httplib::Response& response) {
    RecordedRequest recorded{request.method, request.path, request.body, request.remote_port};
    Reply reply = device.answer(request.method, request.path, request.get_header_value("Authorization"), request.body);
    log.record(std::move(recorded));
    if (const std::optional<Fault> fault = faults.take(request.path)) {
      if (fault->kind == FaultKind::DropConnection || fault->kind == FaultKind::DropMidReply) {
        const std::size_t sent = fault->kind == FaultKind::DropMidReply ? reply.body.size() / 2 : 0;
        sendThenClose(response, std::move(reply), sent);
        return;
      }
      if (fault->kind == FaultKind::SlowReply) {
        server.pause(fault->delay);
      }
      reply = faultyReply(*fault, std::move(reply));
    }
    response.status = reply.status;
    response.set_content(reply.body, "application/json");
  }

  void streamReports(const httplib::Request& request, httplib::Response& response) {
    log.record({request.method, request.path, request.body, request.remote_port});
    if (std::optional<Reply> refused = device.refusal(request.get_header_value("Authorization"))) {
      response.status = refused->status;
      response.set_content(refused->body, "application/json");
      return;
    }
    reports.subscribe(request.get_header_value(Proto::ReportStream::kLastEventIdHeader), response);
  }

  void publish(std::uint32_t commandCode, const std::string& body) { reports.publish(commandCode, body); }

  std::string host;
  ReportStream reports;
  LayerViews views;  // what the read-only page shows, from the device's reports
  Device device;
  FaultPlan faults;
  RequestLog log;
  int port = 0;
  SimServer server;  // last, so that it stops serving before the rest goes
};

DeviceSimulator::DeviceSimulator(SimulatorOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}

DeviceSimulator::~DeviceSimulator() = default;

int DeviceSimulator::port() const { return impl_->port; }

std::string DeviceSimulator::url() const {
  const bool isIpv6 = impl_->host.find(':') != std::string::npos;
  const std::string host = isIpv6 ? "[" + impl_->host + "]" : impl_->host;
  return "http://" + host + ":" + std::to_string(impl_->port);
}

void DeviceSimulator::injectFault(const std::string& path, const Fault& fault) { impl_->faults.add(path, fault); }

void DeviceSimulator::clearFaults() { impl_->faults.clear(); }

std::string DeviceSimulator::currentToken() const { return impl_->device.currentToken(); }

void DeviceSimulator::revokeToken() { impl_->device.revokeToken(); }

std::optional<nlohmann::json> DeviceSimulator::layerCutout(int layerId) const {
  return impl_->device.layerCutout(layerId);
}

void DeviceSimulator::publishReport(std::uint32_t commandCode, const nlohmann::json& body) {
  impl_->publish(commandCode, body.dump());
}

std::size_t DeviceSimulator::reportSubscribers() const { return impl_->reports.subscribers(); }

std::vector<RecordedRequest> DeviceSimulator::requests() const { return impl_->log.all(); }

void DeviceSimulator::clearRequests() { impl_->log.clear(); }

std::size_t DeviceSimulator::acceptedConnections() const {
  std::set<int> ports;
  for (const RecordedRequest& request : impl_->log.all()) {
    ports.insert(request.remotePort);
  }
  return ports.size();
}

void DeviceSimulator::stop() {
  impl_->reports.close();
  impl_->views.close();
  impl_->server.shutdown();
}

}  // namespace DeviceSim
}  // namespace LCD
