#include "entryreadback.h"

#include "framebuilder.h"
#include "replyparser.h"

#include <devicedata.h>
#include <protocol.h>

#include <algorithm>
#include <tuple>

namespace {

// What the writes to an entry set.
auto settingsOf(const InCardEntry &entry)
{
    return std::tie(entry.mainSignal, entry.auxSignal, entry.mode, entry.light, entry.contrast, entry.color,
                    entry.captionValues, entry.rectA, entry.rectB);
}

bool sameSettings(const InCardEntry &a, const InCardEntry &b)
{
    return settingsOf(a) == settingsOf(b);
}

} // namespace

QByteArray EntryReadBack::request()
{
    return FrameBuilder::readRequest(Protocol::ReadInputCards);
}

// The write is applied to a copy of what was read, by the parser that
// takes its acknowledgement, so both agree on what it sets.
bool EntryReadBack::holds(const DeviceData &read, const QByteArray &write)
{
    DeviceData written;
    written.inCards = read.inCards;
    ReplyParser::OwnState state;
    ReplyParser parser(state.over(written));
    if (!parser.handle(write, {}).taken) // a write's handler reads nothing of its reply
        return false;
    return std::equal(read.inCards.cbegin(), read.inCards.cend(), written.inCards.cbegin(), sameSettings);
}
