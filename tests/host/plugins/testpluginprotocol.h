#pragma once

#include <cstdint>

// What the test plug-in understands, shared by the plug-in and its tests.
namespace TestPlugin {

constexpr const char kPluginName[] = "hosttestplugin";
constexpr const char kPluginVersion[] = "1.2.3";
constexpr const char kEchoComponent[] = "test.echo";
constexpr const char kRelayComponent[] = "test.relay";
constexpr const char kEchoHandler[] = "echo";
constexpr const char kRelayHandler[] = "relay";

// Answered with the payload reversed.
constexpr std::uint32_t kReverseCommand = 0xfc000001u;
// Forwarded to kReverseCommand; answered with that answer, and the answer is
// also posted as kRelayedEvent.
constexpr std::uint32_t kRelayCommand = 0xfc000002u;
// Sent on at once as kPongEvent with the same payload.
constexpr std::uint32_t kPingEvent = 0x81001u;
constexpr std::uint32_t kPongEvent = 0xfc080001u;
constexpr std::uint32_t kRelayedEvent = 0xfc080002u;

}  // namespace TestPlugin
