#include "communicator/resourceurl.h"

namespace LCD {
namespace Communicator {

std::string resourceUrl(const std::string& deviceUrl, const std::string& path) {
  std::string url = deviceUrl;
  while (!url.empty() && url.back() == '/') {
    url.pop_back();
  }
  if (path.empty() || path.front() != '/') {
    url += '/';
  }
  return url + path;
}

}  // namespace Communicator
}  // namespace LCD
