#pragma once

// The commands a connection puts on the line, and a way to find them among the heartbeats.
#include <cstdio>
#include <string>
#include <vector>

#include "station_fixture.h"
#include "support/initial_read.h"

namespace kestrel {

using TextList = std::vector<std::string>;

struct AlignedLine {
    std::vector<LineText> matched;     // the expected commands as they went out
    std::vector<LineText> heartbeats;  // the "PS;" of each heartbeat
    std::vector<LineText> unexpected;
};

// Lines the commands written up against the whole connection and expects to find all of it and
// nothing else. A "PS;" that is not the one expected next is a heartbeat, together with an "AI;"
// 30 ms after it (sent once the store knows the radio is on and connected).
inline AlignedLine AlignConnection(const std::vector<LineText>& line) {
    // The connection after the connect request, as the transceiver must see it.
    TextList expected = {"AI1;", "AI;", "ID;", "ID0747;"};
    const TextList initialRead = ExpectedInitialRead();
    expected.insert(expected.end(), initialRead.begin(), initialRead.end());
    for (int item = 1; item <= 118; ++item) {
        char read[8];
        std::snprintf(read, sizeof read, "EX%03d;", item);
        expected.push_back(read);
    }
    AlignedLine aligned;
    size_t next = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if (next < expected.size() && line[i].text == expected[next]) {
            aligned.matched.push_back(line[i]);
            ++next;
        } else if (line[i].text == "PS;") {
            aligned.heartbeats.push_back(line[i]);
            if (i + 1 < line.size() && line[i + 1].text == "AI;" &&
                line[i + 1].atMs - line[i].atMs == 30) {
                ++i;
            }
        } else {
            aligned.unexpected.push_back(line[i]);
        }
    }
    EXPECT_EQ(TextsOf(aligned.matched), expected);
    EXPECT_EQ(TextsOf(aligned.unexpected), TextList{});
    return aligned;
}

}  // namespace kestrel
