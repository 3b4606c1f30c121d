// Headless Chromium shows the simulator's page, driven through the DevTools
// protocol on a pipe; a cutout set through the device API changes the image
// where the key says, without a reload.
#include "devicesim/devicesimulator.h"
#include "devicesim/layerimage.h"
#include "proto/constants.h"
#include "proto/response.h"
#include "tests/render/decodedpng.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <set>

namespace {

using nlohmann::json;
constexpr int kPatienceMs = 30000;  // guards against a hang only

std::string fromBase64(const std::string& text) {
  const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  int bits = 0, value = 0;
  for (const char c : text) {
    if (c == '=') break;
    value = (value << 6) | static_cast<int>(digits.find(c));
    if ((bits += 6) >= 8) bytes += static_cast<char>((value >> (bits -= 8)) & 0xFF);
  }
  return bytes;
}

// Chromium reads commands from its fd 3 and answers on fd 4, one NUL-ended JSON text each.
class Browser {
 public:
  explicit Browser(const std::string& profile) {
    int toBrowser[2], fromBrowser[2];
    if (pipe(toBrowser) != 0 || pipe(fromBrowser) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(toBrowser[0], 3);
      dup2(fromBrowser[1], 4);
      const std::string dataDir = "--user-data-dir=" + profile;
      execl("/usr/bin/chromium", "chromium", "--no-sandbox", "--headless", "--disable-gpu", "--disable-quic",
            "--no-first-run", "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--log-level=3", "--window-size=1000,800", "--force-device-scale-factor=1", "--remote-debugging-pipe",
            dataDir.c_str(), "about:blank", nullptr);
      _exit(127);
    }
    close(toBrowser[0]);
    close(fromBrowser[1]);
    out_ = toBrowser[1];
    in_ = fromBrowser[0];
  }
  ~Browser() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    close(out_);
    close(in_);
  }

  void awaitEvent(const std::string& method) {
    while (events_.count(method) == 0) next();
  }

  // Sends a command and returns its result, noting the events before it.
  json call(const std::string& method, json params = json::object(), const std::string& session = "") {
    json command{{"id", ++lastId_}, {"method", method}, {"params", std::move(params)}};
    if (!session.empty()) command["sessionId"] = session;
    const std::string text = command.dump() + '\0';
    if (write(out_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) throw std::runtime_error("write");
    json message;
    while ((message = next()).value("id", 0) != lastId_) continue;
    if (message.contains("error")) throw std::runtime_error(method + ": " + message["error"].dump());
    return message["result"];
  }

 private:
  // The next message; an event is noted by name.
  json next() {
    for (std::size_t end; (end = buffer_.find('\0')) == std::string::npos;) {
      pollfd ready{in_, POLLIN, 0};
      char chunk[65536];
      const ssize_t got = poll(&ready, 1, kPatienceMs) == 1 ? read(in_, chunk, sizeof chunk) : -1;
      if (got <= 0) throw std::runtime_error("no answer from chromium");
      buffer_.append(chunk, static_cast<std::size_t>(got));
    }
    const std::size_t end = buffer_.find('\0');
    json message = json::parse(buffer_.substr(0, end));
    buffer_.erase(0, end + 1);
    if (message.contains("method")) events_.insert(message["method"]);
    return message;
  }

  pid_t pid_;
  int out_ = -1, in_ = -1, lastId_ = 0;
  std::string buffer_;
  std::set<std::string> events_;
};

// Waits in the page until layer 1 shows an image other than `shown`, then
// returns the image's box and version; `marker`, the first version seen, tells a reload apart.
json awaitLayerImage(Browser& browser, const std::string& session, const std::string& shown) {
  const std::string script = R"(new Promise(done => { const check = () => {
    const image = document.querySelector('[data-layer="1"] img');
    if (!image || !image.dataset.shown || image.dataset.shown !== image.dataset.version || image.dataset.shown === ")" +
                             shown + R"(") return setTimeout(check, 10);
    window.marker = window.marker || image.dataset.shown;
    const box = image.getBoundingClientRect();
    done({x: box.left, y: box.top, width: box.width, height: box.height, version: image.dataset.shown,
          marker: window.marker}); }; check(); }))";
  return browser.call("Runtime.evaluate", {{"expression", script}, {"awaitPromise", true}, {"returnByValue", true}},
                      session)["result"]["value"];
}

// The screenshot's pixel over canvas column `x`, halfway down layer 1's image.
LCD::DeviceSim::Rgb pixelOver(const LCD::DeviceSim::RgbImage& shot, const json& box, int x) {
  return shot.at(static_cast<int>(box["x"].get<double>() + (x + 0.5) * box["width"].get<double>() / 1920),
                 static_cast<int>(box["y"].get<double>() + box["height"].get<double>() / 2));
}

TEST(Page, ShowsTheKeyOfACutoutSetThroughTheDeviceApi) {
  LCD::DeviceSim::DeviceSimulator simulator;
  const std::filesystem::path profile =
      std::filesystem::temp_directory_path() / ("lcd-browser-" + std::to_string(getpid()));
  Browser browser(profile.string());
  const std::string target = browser.call("Target.createTarget", {{"url", "about:blank"}})["targetId"];
  const std::string session =
      browser.call("Target.attachToTarget", {{"targetId", target}, {"flatten", true}})["sessionId"];
  browser.call("Page.enable", json::object(), session);
  browser.call("Page.navigate", {{"url", simulator.url() + "/"}}, session);
  browser.awaitEvent("Page.loadEventFired");
  const auto screenshot = [&] {
    return decodePng(fromBase64(browser.call("Page.captureScreenshot", json::object(), session)["data"]));
  };
  const json before = awaitLayerImage(browser, session, "");
  const LCD::DeviceSim::RgbImage first = screenshot();
  const LCD::DeviceSim::Rgb black = pixelOver(first, before, 1800), white = pixelOver(first, before, 120);
  EXPECT_TRUE(black.r < 20 && black.g < 20 && black.b < 20 && white.r > 235 && white.g > 235 && white.b > 235);

  // A brightness key at 100 takes the black bar away and leaves the white one.
  std::vector<LCD::ProtoModel::Layer::s_LayerCutout> layers(1);
  layers[0].layerId = 1;
  layers[0].cutout.enable = 1;
  layers[0].cutout.brightness.threshold = 100;
  std::string body;
  LCD::ProtoModel::encode(body, layers);
  httplib::Client device(simulator.url());
  const auto login =
      device.Post(LCD::Proto::Constants::POSTLOGIN, R"({"username":"admin","password":"admin"})", "application/json");
  ASSERT_TRUE(login);
  const httplib::Headers token{{"Authorization", json::parse(login->body)["data"]["token"]}};
  ASSERT_EQ(
      json::parse(device.Put(LCD::Proto::Constants::PUTLAYERSCUTOUT, token, body, "application/json")->body)["code"],
      0);

  const json after = awaitLayerImage(browser, session, before["version"]);
  EXPECT_EQ(after["marker"], before["version"]) << "the page was reloaded";
  const LCD::DeviceSim::RgbImage second = screenshot();
  const LCD::DeviceSim::Rgb keyed = pixelOver(second, after, 1800), kept = pixelOver(second, after, 120);
  EXPECT_TRUE(keyed.r == keyed.g && keyed.g == keyed.b && keyed.r > 90 && keyed.r < 170) << "not the checkerboard";
  EXPECT_TRUE(kept.r > 235 && kept.g > 235 && kept.b > 235) << "the white bar went";
  std::filesystem::remove_all(profile);
}

}  // namespace
