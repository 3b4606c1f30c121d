#pragma once

#include <string>
#include <vector>

// One sequence of everything the plug-in does outside itself: the host
// interface slots it calls, the device library calls and the messages it
// logs, each as one line.
using Trace = std::vector<std::string>;
