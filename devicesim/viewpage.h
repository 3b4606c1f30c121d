#pragma once

#include "devicesim/layerviews.h"

#include <httplib.h>

namespace LCD {
namespace DeviceSim {

// The read-only page and what it reads, none of which needs the login:
//   GET /, /page.css, /page.js   the page
//   GET /view/layers             every layer's settings and cursor, with change counts (JSON)
//   GET /view/layers/N.png       layer N keyed, 480x270
//   GET /view/changes            a Server-Sent Event with the change count at once and after every change
// Added before the device's own routes, which would answer 404 for these.
void addViewRoutes(httplib::Server& routes, const LayerViews& views);

}  // namespace DeviceSim
}  // namespace LCD
