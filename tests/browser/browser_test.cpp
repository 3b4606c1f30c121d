// Headless Chromium shows the simulator's page, driven through the DevTools
// protocol on a pipe; a cutout set through the device API changes the image
// where the key says, without a reload.
#include "devicesim/devicesimulator.h"
#include "proto/constants.h"
#include "proto/response.h"
#include "tests/render/decodedpng.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <filesystem>

namespace {

using nlohmann::json;

// Chromium reads commands on its fd 3 and answers on fd 4, each a JSON text ended by a NUL.
class Browser {
 public:
  explicit Browser(const std::string& profile) {
    const std::string dataDir = "--user-data-dir=" + profile;  // made before fork: the child only calls exec
    int commands[2], answers[2];
    if (pipe(commands) != 0 || pipe(answers) != 0 || (pid_ = fork()) < 0) throw std::runtime_error("cannot start");
    if (pid_ == 0) {
      // It ends with the test, whatever ends the test, and keeps off its output.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      dup2(quiet, 2);
      dup2(commands[0], 3);
      dup2(answers[1], 4);
      execl("/usr/bin/chromium", "chromium", "--no-sandbox", "--headless", "--remote-debugging-pipe",
            "--window-size=1000,800", "--force-device-scale-factor=1", dataDir.c_str(), "about:blank", nullptr);
      _exit(127);
    }
    close(commands[0]);
    close(answers[1]);
    out_ = commands[1];
    in_ = answers[0];
  }
  ~Browser() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    close(out_);
    close(in_);
  }

  // Sends a command and returns its result.
  json call(const std::string& method, json params, const std::string& session = "") {
    json command{{"id", ++lastId_}, {"method", method}, {"params", std::move(params)}};
    if (!session.empty()) command["sessionId"] = session;
    const std::string text = command.dump() + '\0';
    if (write(out_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) throw std::runtime_error("write");
    for (;;) {
      std::size_t end;
      while ((end = buffer_.find('\0')) == std::string::npos) {
        pollfd ready{in_, POLLIN, 0};
        char chunk[65536];
        // 30 s: a guard against a hang only.
        const ssize_t got = poll(&ready, 1, 30000) == 1 ? read(in_, chunk, sizeof chunk) : -1;
        if (got <= 0) throw std::runtime_error("no answer from chromium");
        buffer_.append(chunk, static_cast<std::size_t>(got));
      }
      const json message = json::parse(buffer_.substr(0, end));
      buffer_.erase(0, end + 1);
      if (message.contains("error")) throw std::runtime_error(method + ": " + message["error"].dump());
      if (message.value("id", 0) == lastId_) return message["result"];
    }
  }

 private:
  pid_t pid_;
  int out_ = -1, in_ = -1, lastId_ = 0;
  std::string buffer_;
};

json evaluate(Browser& browser, const std::string& session, const std::string& expression) {
  const json params{{"expression", expression}, {"awaitPromise", true}, {"returnByValue", true}};
  return browser.call("Runtime.evaluate", params, session)["result"]["value"];
}

// Waits in the page until layer 1 shows an image other than version `shown`,
// then takes a screenshot. Returns the version shown, `marker` (the first
// version seen, which a reload would change) and the pixels halfway down the
// image over the white and the black bar.
json awaitLayerImage(Browser& browser, const std::string& session, const std::string& shown) {
  const std::string script = R"((shown => new Promise(done => { const check = () => {
    const image = document.querySelector('[data-layer="1"] img');
    if (!image || image.dataset.shown !== image.dataset.version || image.dataset.shown === shown)
      return setTimeout(check, 10);
    window.marker = window.marker || image.dataset.shown;
    const box = image.getBoundingClientRect();
    done({version: image.dataset.shown, marker: window.marker, y: box.top + box.height / 2,
          white: box.left + box.width / 16, black: box.right - box.width / 16}); }; check(); }))(')" +
                             shown + "')";
  json image = evaluate(browser, session, script);
  // The page's own atob turns the screenshot's base64 into bytes.
  const std::string data = browser.call("Page.captureScreenshot", json::object(), session)["data"];
  const std::vector<std::uint8_t> bytes =
      evaluate(browser, session, "Array.from(atob('" + data + "'), c => c.charCodeAt(0))");
  const auto shot = decodePng(std::string(bytes.begin(), bytes.end()));
  for (const char* bar : {"white", "black"}) {
    const auto pixel = shot.at(image[bar].get<int>(), image["y"].get<int>());
    image[bar] = {pixel.r, pixel.g, pixel.b};
  }
  return image;
}

bool grey(const json& c, int low, int high) { return c[0] == c[1] && c[1] == c[2] && c[0] >= low && c[0] <= high; }

TEST(Page, ShowsTheKeyOfACutoutSetThroughTheDeviceApi) {
  LCD::DeviceSim::DeviceSimulator simulator;
  const auto profile = std::filesystem::temp_directory_path() / ("lcd-browser-" + std::to_string(getpid()));
  Browser browser(profile.string());
  const std::string target = browser.call("Target.createTarget", {{"url", "about:blank"}})["targetId"];
  const std::string session =
      browser.call("Target.attachToTarget", {{"targetId", target}, {"flatten", true}})["sessionId"];
  browser.call("Page.navigate", {{"url", simulator.url() + "/"}}, session);
  const json before = awaitLayerImage(browser, session, "");
  EXPECT_TRUE(grey(before["white"], 250, 255) && grey(before["black"], 0, 5)) << before;

  // A brightness key at 100 takes the black bar away and leaves the white one.
  std::vector<LCD::ProtoModel::Layer::s_LayerCutout> layers(1);
  layers[0].layerId = layers[0].cutout.enable = 1;
  layers[0].cutout.brightness.threshold = 100;
  std::string body;
  LCD::ProtoModel::encode(body, layers);
  httplib::Client device(simulator.url());
  const auto login =
      device.Post(LCD::Proto::Constants::POSTLOGIN, R"({"username":"admin","password":"admin"})", "application/json");
  ASSERT_TRUE(login);
  const httplib::Headers token{{"Authorization", json::parse(login->body)["data"]["token"]}};
  ASSERT_TRUE(device.Put(LCD::Proto::Constants::PUTLAYERSCUTOUT, token, body, "application/json"));

  const json after = awaitLayerImage(browser, session, before["version"]);
  EXPECT_EQ(after["marker"], before["version"]) << "the page was reloaded";
  EXPECT_TRUE(grey(after["white"], 250, 255)) << "the white bar went: " << after;
  EXPECT_TRUE(grey(after["black"], 90, 170)) << "the black bar is not the checkerboard: " << after;
  std::filesystem::remove_all(profile);
}

}  // namespace
