#pragma once

#include <vector>

namespace LCD {
namespace DeviceSim {

// One file of the read-only page, embedded at build time from devicesim/page/.
struct PageAsset {
  const char* path;  // "/" for index.html
  const char* contentType;
  const char* body;
};

const std::vector<PageAsset>& pageAssets();

}  // namespace DeviceSim
}  // namespace LCD
