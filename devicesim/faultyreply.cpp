#include "devicesim/faultyreply.h"

#include "devicesim/resultcode.h"

namespace LCD {
namespace DeviceSim {
namespace {

constexpr int kHttpOk = 200;
constexpr int kHttpInternalError = 500;

// Every normal reply is an envelope object: edit it as JSON, not as text.
Reply withoutCode(Reply reply) {
  nlohmann::json envelope = nlohmann::json::parse(reply.body);
  envelope.erase("code");
  reply.body = envelope.dump();
  return reply;
}

Reply withPaddedMessage(Reply reply, std::size_t padding) {
  nlohmann::json envelope = nlohmann::json::parse(reply.body);
  envelope["message"] = envelope.value("message", std::string()) + std::string(padding, 'x');
  reply.body = envelope.dump();
  return reply;
}

}  // namespace

Reply faultyReply(const Fault& fault, Reply reply) {
  switch (fault.kind) {
    case FaultKind::HttpError: return failureReply(kHttpInternalError, ResultCode::internalError, "internal error");
    case FaultKind::ErrorPage: return {kHttpInternalError, "<html><body>500 Internal Server Error</body></html>"};
    case FaultKind::EmptyBody: return {kHttpOk, ""};
    case FaultKind::GarbageBody: return {kHttpOk, "<html><body>502 Bad Gateway</body></html>"};
    case FaultKind::MissingCode: return withoutCode(std::move(reply));
    case FaultKind::TruncatedBody: reply.body.resize(reply.body.size() / 2); return reply;
    case FaultKind::LargeBody: return withPaddedMessage(std::move(reply), fault.padding);
    case FaultKind::FixedBody: return {kHttpOk, fault.body};
    case FaultKind::SlowReply:
    case FaultKind::DropConnection:
    case FaultKind::DropMidReply: break;
  }
  return reply;
}

}  // namespace DeviceSim
}  // namespace LCD
