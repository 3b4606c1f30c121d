#pragma once

// Results of the dispatchers' int-returning operations.
namespace wyn::status {

constexpr int ok = 0;
// A null message, a negative size, or a message of the wrong type.
constexpr int badMessage = -1;
// No component has registered the command id.
constexpr int noHandler = -2;
// The handler name is already bound to another handler.
constexpr int nameTaken = -3;
// The command id is already registered under another handler name.
constexpr int idTaken = -4;
// A handler or subscriber let an exception escape.
constexpr int handlerFailed = -5;

}  // namespace wyn::status
