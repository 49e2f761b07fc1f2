#pragma once

#include <string>
#include <vector>

namespace kestrel {

// Returns the initial read as the transceiver must see it, row by row of the read table.
inline std::vector<std::string> ExpectedInitialRead() {
    std::vector<std::string> reads = {
        "RT;",  "XT;",  "SF;",  "BP00;", "BP01;", "BC0;", "CO00;", "CO01;", "MS;",  "NR0;", "FT;",
        "FR;",  "LK;",  "FS;",  "VS;",   "NA0;",  "NB0;", "RF0;",  "GT0;",  "RA0;", "PA0;", "KR;",
        "TS;",  "AN0;", "AC;",  "MX;",   "VX;",   "BI;",  "PR;",   "ML0;",  "ML1;", "CS;",  "DP;",
        "RM0;", "RM2;", "KP;",  "KS;",   "SD;",   "NL0;", "MG;",   "PL;",   "VG;",  "VD;",  "SQ0;",
        "AG0;", "RG0;", "IF;",  "VF0;",  "IS0;",  "SH0;", "RL0;",  "BY;",   "FA;",  "FB;",  "RO;",
        "SC;",  "SM0;", "TX;",  "UL;",   "CN0;",  "CT0;", "KM1;",  "KM2;",  "KM3;", "KM4;", "KM5;",
        "MC;",  "OI;",  "OS0;", "PB0;",  "PC;",   "RS;",  "MD0;",  "PS;",   "RI0;", "RI1;", "RI3;",
        "RI4;", "RI5;", "RI7;", "RI8;",  "BG0;",  "BG1;", "LM0;"};
    // The processor equalizer is read with group selector "2" for its second group.
    for (const char group : {'0', '2'}) {
        for (const char band : {'0', '1', '2'}) {
            for (const char quantity : {'0', '1', '2'}) {
                reads.push_back(std::string("PE") + group + band + quantity + ";");
            }
        }
    }
    reads.push_back("KC0;");
    return reads;
}

}  // namespace kestrel
