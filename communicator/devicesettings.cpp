#include "communicator/devicesettings.h"

#include <curl/curl.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace LCD {
namespace Communicator {
namespace {

void overrideText(const char* variable, std::string& value) {
  if (const char* text = std::getenv(variable); text != nullptr && *text != '\0') {
    value = text;
  }
}

void overridePositive(const char* variable, long& value) {
  const char* text = std::getenv(variable);
  if (text == nullptr || *text == '\0') {
    return;
  }
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text, &end, 10);
  if (errno == 0 && *end == '\0' && parsed > 0) {
    value = parsed;
  }
}

struct Store {
  std::mutex mutex;
  DeviceSettings current = settingsFromEnvironment();
};

Store& store() {
  static Store* instance = new Store;  // outlives every thread that may still send
  return *instance;
}

struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

bool hasPart(CURLU* url, CURLUPart part) {
  char* text = nullptr;
  const bool present = curl_url_get(url, part, &text, 0) == CURLUE_OK;
  curl_free(text);
  return present;
}

}  // namespace

DeviceSettings settingsFromEnvironment() {
  DeviceSettings settings;
  overrideText("LCD_DEVICE_URL", settings.url);
  overrideText("LCD_DEVICE_USER", settings.user);
  overrideText("LCD_DEVICE_PASSWORD", settings.password);
  overridePositive("LCD_DEVICE_TIMEOUT_MS", settings.timeoutMs);
  return settings;
}

void configureDevice(const DeviceSettings& settings) {
  Store& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.current = settings;
}

DeviceSettings deviceSettings() {
  Store& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.current;
}

std::string deviceUrlProblem(const std::string& url) {
  if (url.empty()) {
    return "is empty";
  }
  const std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
    return "is not a URL with scheme and host";
  }
  char* scheme = nullptr;
  curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0);
  const bool web = scheme != nullptr && (std::string(scheme) == "http" || std::string(scheme) == "https");
  curl_free(scheme);
  if (!web) {
    return "is neither http nor https";
  }
  if (hasPart(parsed.get(), CURLUPART_QUERY)) {
    return "has a query";
  }
  if (hasPart(parsed.get(), CURLUPART_FRAGMENT)) {
    return "has a fragment";
  }
  return {};
}

}  // namespace Communicator
}  // namespace LCD
