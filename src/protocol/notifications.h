#pragma once

#include <cstdint>

#include "protocol/cat_catalogue.h"

namespace kestrel {

// The notifications that the analysis thread posts to the main window, one per answer code, after
// it has stored a well-formed answer. Each number is taken from the code's catalogue row.
// clang-format off
inline constexpr uint32_t kNotifyID = AnswerNotification("ID");
inline constexpr uint32_t kNotifyRT = AnswerNotification("RT");
inline constexpr uint32_t kNotifyXT = AnswerNotification("XT");
inline constexpr uint32_t kNotifySF = AnswerNotification("SF");
inline constexpr uint32_t kNotifyBP = AnswerNotification("BP");
inline constexpr uint32_t kNotifyBC = AnswerNotification("BC");
inline constexpr uint32_t kNotifyCO = AnswerNotification("CO");
inline constexpr uint32_t kNotifyMS = AnswerNotification("MS");
inline constexpr uint32_t kNotifyNR = AnswerNotification("NR");
inline constexpr uint32_t kNotifyFT = AnswerNotification("FT");
inline constexpr uint32_t kNotifyFR = AnswerNotification("FR");
inline constexpr uint32_t kNotifyLK = AnswerNotification("LK");
inline constexpr uint32_t kNotifyFS = AnswerNotification("FS");
inline constexpr uint32_t kNotifyVS = AnswerNotification("VS");
inline constexpr uint32_t kNotifyNA = AnswerNotification("NA");
inline constexpr uint32_t kNotifyNB = AnswerNotification("NB");
inline constexpr uint32_t kNotifyRF = AnswerNotification("RF");
inline constexpr uint32_t kNotifyGT = AnswerNotification("GT");
inline constexpr uint32_t kNotifyRA = AnswerNotification("RA");
inline constexpr uint32_t kNotifyPA = AnswerNotification("PA");
inline constexpr uint32_t kNotifyKR = AnswerNotification("KR");
inline constexpr uint32_t kNotifyTS = AnswerNotification("TS");
inline constexpr uint32_t kNotifyAN = AnswerNotification("AN");
inline constexpr uint32_t kNotifyAC = AnswerNotification("AC");
inline constexpr uint32_t kNotifyMX = AnswerNotification("MX");
inline constexpr uint32_t kNotifyVX = AnswerNotification("VX");
inline constexpr uint32_t kNotifyBI = AnswerNotification("BI");
inline constexpr uint32_t kNotifyPR = AnswerNotification("PR");
inline constexpr uint32_t kNotifyML = AnswerNotification("ML");
inline constexpr uint32_t kNotifyCS = AnswerNotification("CS");
inline constexpr uint32_t kNotifyDP = AnswerNotification("DP");
inline constexpr uint32_t kNotifyRM = AnswerNotification("RM");
inline constexpr uint32_t kNotifyKP = AnswerNotification("KP");
inline constexpr uint32_t kNotifyKS = AnswerNotification("KS");
inline constexpr uint32_t kNotifySD = AnswerNotification("SD");
inline constexpr uint32_t kNotifyNL = AnswerNotification("NL");
inline constexpr uint32_t kNotifyMG = AnswerNotification("MG");
inline constexpr uint32_t kNotifyPL = AnswerNotification("PL");
inline constexpr uint32_t kNotifyVG = AnswerNotification("VG");
inline constexpr uint32_t kNotifyVD = AnswerNotification("VD");
inline constexpr uint32_t kNotifySQ = AnswerNotification("SQ");
inline constexpr uint32_t kNotifyAG = AnswerNotification("AG");
inline constexpr uint32_t kNotifyRG = AnswerNotification("RG");
inline constexpr uint32_t kNotifyIF = AnswerNotification("IF");
inline constexpr uint32_t kNotifyVF = AnswerNotification("VF");
inline constexpr uint32_t kNotifyIS = AnswerNotification("IS");
inline constexpr uint32_t kNotifySH = AnswerNotification("SH");
inline constexpr uint32_t kNotifyRL = AnswerNotification("RL");
inline constexpr uint32_t kNotifyBY = AnswerNotification("BY");
inline constexpr uint32_t kNotifyFA = AnswerNotification("FA");
inline constexpr uint32_t kNotifyFB = AnswerNotification("FB");
inline constexpr uint32_t kNotifyRO = AnswerNotification("RO");
inline constexpr uint32_t kNotifySC = AnswerNotification("SC");
inline constexpr uint32_t kNotifySM = AnswerNotification("SM");
inline constexpr uint32_t kNotifyTX = AnswerNotification("TX");
inline constexpr uint32_t kNotifyUL = AnswerNotification("UL");
inline constexpr uint32_t kNotifyAI = AnswerNotification("AI");
inline constexpr uint32_t kNotifyCN = AnswerNotification("CN");
inline constexpr uint32_t kNotifyCT = AnswerNotification("CT");
inline constexpr uint32_t kNotifyKM = AnswerNotification("KM");
inline constexpr uint32_t kNotifyMC = AnswerNotification("MC");
inline constexpr uint32_t kNotifyOI = AnswerNotification("OI");
inline constexpr uint32_t kNotifyOS = AnswerNotification("OS");
inline constexpr uint32_t kNotifyPB = AnswerNotification("PB");
inline constexpr uint32_t kNotifyPC = AnswerNotification("PC");
inline constexpr uint32_t kNotifyRS = AnswerNotification("RS");
inline constexpr uint32_t kNotifyMD = AnswerNotification("MD");
inline constexpr uint32_t kNotifyPS = AnswerNotification("PS");
inline constexpr uint32_t kNotifyRI = AnswerNotification("RI");
inline constexpr uint32_t kNotifyBG = AnswerNotification("BG");
inline constexpr uint32_t kNotifyLM = AnswerNotification("LM");
inline constexpr uint32_t kNotifyPE = AnswerNotification("PE");
inline constexpr uint32_t kNotifyKC = AnswerNotification("KC");
inline constexpr uint32_t kNotifyDA = AnswerNotification("DA");
inline constexpr uint32_t kNotifyMR = AnswerNotification("MR");
inline constexpr uint32_t kNotifyEX = AnswerNotification("EX");
// clang-format on

}  // namespace kestrel
