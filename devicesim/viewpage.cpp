#include "devicesim/viewpage.h"

#include "devicesim/layerimage.h"
#include "devicesim/pageassets.h"
#include "devicesim/pngimage.h"
#include "proto/response.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace LCD {
namespace DeviceSim {
namespace {

// Also how long a closed page's feed keeps its connection's thread.
constexpr std::chrono::seconds kFeedHeartbeat{2};
constexpr int kHttpNotFound = 404;

template <typename T>
nlohmann::json asJson(const T& record) {
  std::string text;
  ProtoModel::encode(text, record);
  return nlohmann::json::parse(text);
}

std::string layersJson(const LayerViews& views) {
  nlohmann::json layers = nlohmann::json::array();
  for (const LayerView& view : views.all()) {
    layers.push_back({{"layerId", view.settings.layerId},
                      {"version", view.version},
                      {"settings", asJson(view.settings)},
                      {"cursor", asJson(view.cursor)}});
  }
  return nlohmann::json{{"version", views.version()}, {"layers", layers}}.dump();
}

void serveLayerImage(const LayerViews& views, const httplib::Request& request, httplib::Response& response) {
  const std::optional<LayerView> view = views.layer(std::stoi(request.matches[1].str()));
  if (!view) {
    response.status = kHttpNotFound;
    return;
  }
  response.set_header("Cache-Control", "no-store");
  response.set_content(encodePng(renderLayer(view->settings.cutout, view->cursor.pos)), "image/png");
}

void streamChanges(const LayerViews& views, httplib::Response& response) {
  response.set_header("Cache-Control", "no-cache");
  response.set_chunked_content_provider("text/event-stream", [&views, seen = std::optional<std::uint64_t>()](
                                                                 std::size_t, httplib::DataSink& sink) mutable {
    const std::optional<std::uint64_t> now = seen ? views.awaitChange(*seen, kFeedHeartbeat) : views.version();
    if (!now) {
      return false;
    }
    const std::string event = !seen || *now > *seen ? "data: " + std::to_string(*now) + "\n\n" : ":\n";
    seen = now;
    return sink.write(event.data(), event.size());
  });
}

}  // namespace

void addViewRoutes(httplib::Server& routes, const LayerViews& views) {
  for (const PageAsset& asset : pageAssets()) {
    routes.Get(asset.path, [&asset](const httplib::Request&, httplib::Response& response) {
      response.set_content(asset.body, asset.contentType);
    });
  }
  routes.Get("/view/layers", [&views](const httplib::Request&, httplib::Response& response) {
    response.set_header("Cache-Control", "no-store");
    response.set_content(layersJson(views), "application/json");
  });
  routes.Get(R"(/view/layers/(\d{1,9})\.png)", [&views](const httplib::Request& request, httplib::Response& response) {
    serveLayerImage(views, request, response);
  });
  routes.Get("/view/changes",
             [&views](const httplib::Request&, httplib::Response& response) { streamChanges(views, response); });
}

}  // namespace DeviceSim
}  // namespace LCD
