#pragma once

#include <array>
#include <cstdint>

#include "platform/message.h"

namespace kestrel {

// Request numbers: the first argument of PostRequest. Each names the command it makes.
inline constexpr int kReqConnect = 1;           // "AI1;" or "AI0;" and the connection follow-up
inline constexpr int kReqPower = 2;             // "PS1;" or "PS0;" and the power follow-up
inline constexpr int kReqDsToggle = 3;          // "DS" toggle
inline constexpr int kReqMoxToggle = 4;         // "MX" toggle
inline constexpr int kReqVoxToggle = 5;         // "VX" toggle
inline constexpr int kReqTuner = 6;             // "AC00" v
inline constexpr int kReqAntenna = 7;           // "AN01;" / "AN02;"
inline constexpr int kReqAntennaRx = 8;         // "AN05;"
inline constexpr int kReqMonitorToggle = 9;     // "ML0001;" / "ML0000;"
inline constexpr int kReqProcessor = 10;        // "PR" v
inline constexpr int kReqKeyerToggle = 11;      // "KR" toggle
inline constexpr int kReqAttenuator = 12;       // "RA0" v
inline constexpr int kReqPreamp = 13;           // "PA0" 1/2/0
inline constexpr int kReqRoofingFilter = 14;    // "RF0" v
inline constexpr int kReqAgc = 15;              // "GT" s 0/4/1
inline constexpr int kReqNoiseBlanker = 16;     // "NB" s v
inline constexpr int kReqBreakInToggle = 17;    // "BI" toggle
inline constexpr int kReqSpotToggle = 18;       // "CS" toggle (the SPOT key)
inline constexpr int kReqVfoA = 19;             // "VS0;"
inline constexpr int kReqVfoB = 20;             // "VS1;"
inline constexpr int kReqModeSsb = 21;          // "MK0;" to "MK6;" without "MK4;" (21 to 26)
inline constexpr int kReqQuickStore = 27;       // "QI;"
inline constexpr int kReqQuickRecall = 28;      // "QR;"
inline constexpr int kReqNarrowToggle = 29;     // "NA" s toggle of receiver s
inline constexpr int kReqSplit = 30;            // "FT0;" / "QS;"
inline constexpr int kReqTxWatch = 31;          // "TS" v (the TXW key)
inline constexpr int kReqRxSideA = 32;          // "FR1;" / "FR0;" from the FR mirror
inline constexpr int kReqTxSideA = 33;          // "FT0;"
inline constexpr int kReqFastToggle = 34;       // "FS" toggle
inline constexpr int kReqLockToggle = 35;       // "LK" toggle
inline constexpr int kReqAtoB = 36;             // "AB;"
inline constexpr int kReqSwapVfo = 37;          // "SV;"
inline constexpr int kReqVfoMemory = 38;        // "VM;"
inline constexpr int kReqMemoryToA = 39;        // "MA;"
inline constexpr int kReqAToMemory = 40;        // "AM;"
inline constexpr int kReqMenuWrite = 41;        // one "EX" set command per edited menu item
inline constexpr int kReqBand50 = 42;           // "BS10;" (50 MHz)
inline constexpr int kReqBand18 = 43;           // "BS00;" ... "BS11;" (43 to 52: 1.8 MHz to GEN)
inline constexpr int kReqRxClarToggle = 53;     // "RT" toggle
inline constexpr int kReqTxClarToggle = 54;     // "XT" toggle
inline constexpr int kReqClarClear = 55;        // "RC;"
inline constexpr int kReqVoiceFilter = 56;      // "VF" s v "00"
inline constexpr int kReqNotch = 57;            // "KC04" v
inline constexpr int kReqBeatCancel = 58;       // "BC0" toggle
inline constexpr int kReqContour = 59;          // "KC03" v
inline constexpr int kReqNoiseReduction = 60;   // "NR0" toggle
inline constexpr int kReqRxSideB = 61;          // "FR5;" / "FR4;" from the FR mirror
inline constexpr int kReqTxSideB = 62;          // "FT1;"
inline constexpr int kReqSubFunction0 = 63;     // "SF0;" to "SF7;" (63 to 70)
inline constexpr int kReqFunctionKey1 = 71;     // "FK1;" to "FK7;" (71 to 77)
inline constexpr int kReqDisplay = 78;          // "DP" v
inline constexpr int kReqMainDialSteps = 79;    // "EU0"/"ED0" |v|
inline constexpr int kReqRightDialSteps = 80;   // "EU1"/"ED1" |v|
inline constexpr int kReqFrequencyA = 81;       // "FA" v
inline constexpr int kReqFrequencyB = 82;       // "FB" v
inline constexpr int kReqClarifierStep = 83;    // "RU"/"RD" |v|
inline constexpr int kReqVoiceFilterStep = 84;  // "VF" s "1" sign |v|
inline constexpr int kReqMeterSelect = 85;      // "MS" v
inline constexpr int kReqMonitorLevel = 86;     // "ML1" v
inline constexpr int kReqProcessorLevel = 87;   // "PL" v
inline constexpr int kReqKeyerSpeed = 88;       // "KS" v
inline constexpr int kReqKeyPitch = 89;         // "KP" v
inline constexpr int kReqNoiseLevel = 90;       // "NL" s v
inline constexpr int kReqSquelchMain = 91;      // "SQ0" v
inline constexpr int kReqMicGain = 92;          // "MG" v
inline constexpr int kReqVoxGain = 93;          // "VG" v
inline constexpr int kReqVoxDelay = 94;         // "VD" v, 20 ms, "SD" v
inline constexpr int kReqSquelchSub = 95;       // "SQ1" v
inline constexpr int kReqAfGainSub = 96;        // "AG1" v
inline constexpr int kReqRfGainSub = 97;        // "RG1" v
inline constexpr int kReqAfGainMain = 98;       // "AG0" v
inline constexpr int kReqRfGainMain = 99;       // "RG0" v
inline constexpr int kReqBandPassLevel = 100;   // "BP01" v
inline constexpr int kReqIfShift = 101;         // "IS0" sign |v|
inline constexpr int kReqWidth = 102;           // "SH0" v
inline constexpr int kReqContourLevel = 103;    // "CO01" v
inline constexpr int kReqNoiseReductionLevel = 104;   // "RL0" v
inline constexpr int kReqHeartbeat = 105;             // the heartbeat of the connection
inline constexpr int kReqWakeSender = 106;            // only wakes Sio_Send_Thread
inline constexpr int kReqPowerLevel = 107;            // "PC" v
inline constexpr int kReqVoiceRecord1 = 108;          // "LM01;" to "LM05;" (108 to 112)
inline constexpr int kReqVoiceRecordStop = 113;       // "LM00;"
inline constexpr int kReqVoicePlay1 = 114;            // "PB01;" to "PB05;" (114 to 118)
inline constexpr int kReqVoicePlayStop = 119;         // "PB00;"
inline constexpr int kReqVoiceRecordRepeatOn = 120;   // "LM11;"
inline constexpr int kReqVoiceRecordRepeatOff = 121;  // "LM10;"
inline constexpr int kReqVoicePlayRepeatOn = 122;     // "PB11;"
inline constexpr int kReqVoicePlayRepeatOff = 123;    // "PB10;"
inline constexpr int kReqRotatorLeft = 124;           // "RO0;" / "RO1;"
inline constexpr int kReqRotatorRight = 125;          // "RO0;" / "RO2;"
inline constexpr int kReqRotatorSlow = 126;           // "RO3;"
inline constexpr int kReqRotatorFast = 127;           // "RO4;"
inline constexpr int kReqKeyerPlay1 = 128;            // "KY1;" to "KY9;", "KYA;" (128 to 137)
inline constexpr int kReqToneOff = 138;               // "CT" s "0"
inline constexpr int kReqToneEncoder = 139;           // "CT" s "2"
inline constexpr int kReqToneSquelch = 140;           // "CT" s "1"
inline constexpr int kReqToneNumber = 141;            // "CN" s v
inline constexpr int kReqShiftSimplex = 142;          // "OS" s "0"
inline constexpr int kReqShiftPlus = 143;             // "OS" s "1"
inline constexpr int kReqShiftMinus = 144;            // "OS" s "2"
inline constexpr int kReqInformation = 145;           // "IF;" / "OI;"
inline constexpr int kReqKeyerMemoryRead = 146;       // reads "KM1;" to "KM5;"
inline constexpr int kReqDspWidth = 147;              // "KC02" v
inline constexpr int kReqDspShift = 148;              // "KC01" v
inline constexpr int kReqDspMicroTune = 149;          // "KC05" v
inline constexpr int kReqDspClear = 150;              // "KC06" v
inline constexpr int kReqDspSelect = 151;             // "KC07" v (the SEL key)
inline constexpr int kReqModeSsbKey = 152;            // "MK0;" (the SSB key; request 21's handler)
inline constexpr int kReqCentreKnobSteps = 153;       // "EU2"/"ED2" |v|

// The highest request number.
inline constexpr int kRequestCount = 153;

// The message posted for each request number 0 to 153; row 0 holds 0 (no request). Requests 1
// to 107 and 108 to 151 sit in two blocks of message numbers; the last two skip 0x8658.
inline constexpr std::array<uint32_t, kRequestCount + 1> RequestMessageTable = [] {
    std::array<uint32_t, kRequestCount + 1> table{};
    for (int number = 1; number <= 107; ++number) {
        table[number] = 0x8500 + number;
    }
    for (int number = 108; number <= 151; ++number) {
        table[number] = 0x85C0 + number;
    }
    table[152] = 0x8659;
    table[153] = 0x865A;
    return table;
}();

// Returns the request number whose message is `message`, or 0 when no request has it.
constexpr int RequestNumberOfMessage(uint32_t message) {
    for (int number = 1; number <= kRequestCount; ++number) {
        if (RequestMessageTable[number] == message) {
            return number;
        }
    }
    return 0;
}

// Messages Anl_Send_Thread handles besides the numbered requests (thread messages).
inline constexpr uint32_t kMsgKeyerReadStep = 0x810F;     // one step of the keyer-memory reads
inline constexpr uint32_t kMsgStartInitialRead = 0x834B;  // start (or restart) the initial read
inline constexpr uint32_t kMsgStopReads = 0x834C;         // stop every read sequence
inline constexpr uint32_t kMsgStartMenuRead = 0x834F;     // start (or restart) the menu read
inline constexpr uint32_t kMsgPowerOnRead = 0x8350;       // "PS;" after switching on
inline constexpr uint32_t kMsgPowerOffRead = 0x8351;      // "PS;" after switching off
inline constexpr uint32_t kMsgIdentProbe = 0x8352;        // "ID;" then "ID0747;"
inline constexpr uint32_t kMsgConnect = 0x8501;           // request 1
inline constexpr uint32_t kMsgHeartbeat = 0x8569;         // request 105
inline constexpr uint32_t kMsgWakeSender = 0x856A;        // request 106
inline constexpr uint32_t kMsgSendInOrder = 0x8110;       // a short command carried in the message
inline constexpr uint32_t kMsgSetConnected = 0x8111;      // connect (wParam 1) or disconnect (0)

static_assert(RequestMessageTable[kReqHeartbeat] == kMsgHeartbeat);
static_assert(RequestMessageTable[kReqConnect] == kMsgConnect);
static_assert(RequestMessageTable[kReqWakeSender] == kMsgWakeSender);

// Window messages the request thread posts.
inline constexpr uint32_t kMsgCloseReadingWindow = 0x8803;  // the reading window closes itself

}  // namespace kestrel
