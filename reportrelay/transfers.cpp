#include "reportrelay/transfers.h"

#include <memory>

#include "communicator/deviceroute.h"
#include "communicator/resourceurl.h"

namespace LCD::Relay {
namespace {

struct ListCleanup {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct Reply {
  std::string& body;
  std::size_t longest;
};

std::size_t collect(char* data, std::size_t size, std::size_t count, void* target) noexcept {
  auto& reply = *static_cast<Reply*>(target);
  const std::size_t bytes = size * count;
  if (reply.body.size() + bytes > reply.longest) {
    return 0;
  }
  try {
    reply.body.append(data, bytes);
  } catch (...) {
    return 0;
  }
  return bytes;
}

}  // namespace

std::string failureOf(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST: return "could not resolve";
    case CURLE_COULDNT_CONNECT: return "refused";
    case CURLE_OPERATION_TIMEDOUT: return "timed out";
    case CURLE_WRITE_ERROR: return "reply too large";
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR: return "connection lost";
    default: return curl_easy_strerror(code);
  }
}

Transfers::Transfers() : multi_(curl_multi_init()) {}

Transfers::~Transfers() { curl_multi_cleanup(multi_); }

CURLcode Transfers::perform(CURL* curl, const std::function<bool()>& keepGoing) {
  if (multi_ == nullptr || curl_multi_add_handle(multi_, curl) != CURLM_OK) {
    return CURLE_OUT_OF_MEMORY;
  }
  int running = 1;
  while (running > 0 && !stopped_ && (!keepGoing || keepGoing()) && curl_multi_perform(multi_, &running) == CURLM_OK) {
    if (running > 0) {
      curl_multi_poll(multi_, nullptr, 0, kCheckMs, nullptr);
    }
  }
  CURLcode code = CURLE_ABORTED_BY_CALLBACK;
  int queued = 0;
  while (const CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
    if (message->msg == CURLMSG_DONE) {
      code = message->data.result;
    }
  }
  curl_multi_remove_handle(multi_, curl);
  return code;
}

void Transfers::stop() {
  stopped_ = true;
  curl_multi_wakeup(multi_);
}

Answer request(Transfers& transfers, CURL* curl, const Communicator::DeviceSettings& device, const char* method,
               const std::string& path, const std::string& token, const std::string& body, std::size_t longestReply) {
  Answer answer;
  std::unique_ptr<curl_slist, ListCleanup> headers(curl_slist_append(nullptr, "Content-Type: application/json"));
  curl_slist* const all = headers ? curl_slist_append(headers.get(), ("Authorization: " + token).c_str()) : nullptr;
  if (all == nullptr) {
    answer.failure = "out of memory";
    return answer;
  }
  curl_easy_reset(curl);
  const std::string url = Communicator::resourceUrl(device.url, path);
  Communicator::routeToDevice(curl, url.c_str(), device.timeoutMs);
  Reply reply{answer.body, longestReply};
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, device.timeoutMs);
  curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, all);
  if (!body.empty()) {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
  }
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
  const CURLcode code = transfers.perform(curl);
  if (code != CURLE_OK) {
    answer.failure = failureOf(code);
    return answer;
  }
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
  return answer;
}

}  // namespace LCD::Relay
