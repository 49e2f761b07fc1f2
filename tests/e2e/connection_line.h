#pragma once

// The commands a connection puts on the line, and a way to find them among the heartbeats.
#include <cstdio>
#include <string>
#include <vector>

#include "station_fixture.h"

namespace kestrel {

using TextList = std::vector<std::string>;

// The commands of the connection after the connect request, as the transceiver must see them.
inline TextList ExpectedConnection() {
    TextList texts = {"AI1;", "AI;", "ID;", "ID0747;"};
    const TextList initialRead = {
        "RT;",  "XT;",  "SF;",  "BP00;", "BP01;", "BC0;", "CO00;", "CO01;", "MS;",  "NR0;", "FT;",
        "FR;",  "LK;",  "FS;",  "VS;",   "NA0;",  "NB0;", "RF0;",  "GT0;",  "RA0;", "PA0;", "KR;",
        "TS;",  "AN0;", "AC;",  "MX;",   "VX;",   "BI;",  "PR;",   "ML0;",  "ML1;", "CS;",  "DP;",
        "RM0;", "RM2;", "KP;",  "KS;",   "SD;",   "NL0;", "MG;",   "PL;",   "VG;",  "VD;",  "SQ0;",
        "AG0;", "RG0;", "IF;",  "VF0;",  "IS0;",  "SH0;", "RL0;",  "BY;",   "FA;",  "FB;",  "RO;",
        "SC;",  "SM0;", "TX;",  "UL;",   "CN0;",  "CT0;", "KM1;",  "KM2;",  "KM3;", "KM4;", "KM5;",
        "MC;",  "OI;",  "OS0;", "PB0;",  "PC;",   "RS;",  "MD0;",  "PS;",   "RI0;", "RI1;", "RI3;",
        "RI4;", "RI5;", "RI7;", "RI8;",  "BG0;",  "BG1;", "LM0;"};
    texts.insert(texts.end(), initialRead.begin(), initialRead.end());
    for (const char group : {'0', '2'}) {
        for (const char band : {'0', '1', '2'}) {
            for (const char quantity : {'0', '1', '2'}) {
                texts.push_back(std::string("PE") + group + band + quantity + ";");
            }
        }
    }
    texts.push_back("KC0;");
    for (int item = 1; item <= 118; ++item) {
        char read[8];
        std::snprintf(read, sizeof read, "EX%03d;", item);
        texts.push_back(read);
    }
    return texts;
}

struct AlignedLine {
    std::vector<LineText> matched;     // the expected commands as they went out
    std::vector<LineText> heartbeats;  // the "PS;" of each heartbeat
    std::vector<LineText> unexpected;
};

// Lines the commands written up against the expected ones. A "PS;" that is not the one expected
// next is a heartbeat, together with an "AI;" 30 ms after it (sent once the store knows the radio
// is on and connected).
inline AlignedLine Align(const std::vector<LineText>& line, const TextList& expected) {
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
    return aligned;
}

}  // namespace kestrel
