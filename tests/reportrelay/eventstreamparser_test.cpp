#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reportrelay/eventstreamparser.h"

namespace {

using namespace std::string_literals;

// Pieces of a stream fed one by one (an event may hold 14 bytes), and the events they give as "TYPE|DATA|ID".
struct Stream {
  const char* name;
  std::vector<std::string> pieces;
  std::vector<std::string> events;
  long retryMs = -1;
  bool fits = true;
};

class EventStreamParser : public ::testing::TestWithParam<Stream> {};

TEST_P(EventStreamParser, GivesTheEventsOfTheStream) {
  std::vector<std::string> events;
  LCD::Relay::EventStreamParser parser(14, [&events](const LCD::Relay::StreamEvent& event) {
    events.push_back(event.type + "|" + event.data + "|" + event.id);
  });
  bool fits = true;
  for (const std::string& piece : GetParam().pieces) fits = fits && parser.feed(piece.data(), piece.size());
  EXPECT_EQ(events, GetParam().events);
  EXPECT_EQ(parser.retryMs().value_or(-1), GetParam().retryMs);
  EXPECT_EQ(fits, GetParam().fits);
}

const Stream kStreams[] = {
    {"CrLfSplitAnywhere", {"da", "ta:b\r", "\n\r\n", "data: c\n", "\n"}, {"message|b|", "message|c|"}},
    {"LoneCr", {"data: a\rdata: b\r\r"}, {"message|a\nb|"}},
    {"CrThenLfInTheNextPiece", {"data: a\r", "\ndata: b\r", "\n\n"}, {"message|a\nb|"}},
    // \357\273\277: a byte order mark.
    {"ByteOrderMarkSplit", {"\357\273", "\277data: x\n\n\357\273\277data: y\n\n"}, {"message|x|"}},
    {"NoByteOrderMark", {"\357data: x\n\n"}, {}},
    {"FieldsWithoutColon", {"data\ndata\n\n"}, {"message|\n|"}},
    {"TypeAndComments", {": hi\nevent: ping\ndata: 1\n\ndata:  2\n\n"}, {"ping|1|", "message| 2|"}},
    {"IdKeptButNotWithNul",
     {"id: 7\ndata: a\n\ndata: b\n\nid: x\0y\ndata: c\n\nid\ndata: d\n\n"s},
     {"message|a|7", "message|b|7", "message|c|7", "message|d|"}},
    {"RetryDigitsOnlyAndNoDataNoEvent", {"retry: 1500\nretry: 15x\nevent: x\n\n"}, {}, 1500},
    {"BoundOfTheEvent", {"data: 12345678\n\n", "data: 123456789"}, {"message|12345678|"}, -1, false},
};
INSTANTIATE_TEST_SUITE_P(Rules, EventStreamParser, ::testing::ValuesIn(kStreams),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
