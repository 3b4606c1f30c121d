#include "tests/stress/reports.h"

namespace Stress {

std::string reportAbout(const std::string& body) {
  std::string escaped;
  escaped.reserve(body.size());
  for (char c : body) {
    if (c == '"' || c == '\\') escaped += '\\';
    escaped += c;
  }
  return R"({"source":"device","seq":1,"sn":"SN0001","tl":{"CommandCode":1,"ErrorCode":0,"UserDataLength":0},)"
         R"("body":")" +
         escaped + R"("})";
}

}  // namespace Stress
