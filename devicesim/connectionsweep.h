#pragma once

namespace LCD {
namespace DeviceSim {

// Shuts down every connected TCP socket of this process whose local port is
// `port`: the connections a server on that port accepted. A kept-alive
// connection waiting for its next request then ends at once instead of at
// its keep-alive time-out.
void shutDownConnectionsOnPort(int port);

}  // namespace DeviceSim
}  // namespace LCD
