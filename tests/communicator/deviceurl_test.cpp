#include <gtest/gtest.h>

#include "communicator/devicesettings.h"

namespace {

TEST(DeviceUrlTest, NamesWhatKeepsAUrlFromNamingADevice) {
  const std::pair<const char*, const char*> cases[] = {
      {"https://op:secret@[::1]:8443/prefix/", ""},  {"", "is empty"},
      {"ftp://device", "is neither http nor https"}, {"http://", "is not a URL with scheme and host"},
      {"http://device/?a=1", "has a query"},         {"http://device/#top", "has a fragment"},
  };
  for (const auto& [url, problem] : cases) {
    EXPECT_EQ(LCD::Communicator::deviceUrlProblem(url), problem) << url;
  }
}

}  // namespace
