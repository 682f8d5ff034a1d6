#pragma once
#include <cstdint>

namespace verdo {

// Levels: a message's fatality, and the result every framework operation returns.
inline constexpr uint8_t LevelNone = 0;          // nothing shown; go on, success
inline constexpr uint8_t LevelAsk = 1;           // a question; as a result, a failure the caller may retry
inline constexpr uint8_t LevelProgramError = 2;  // ends the program like LevelFatal
inline constexpr uint8_t LevelFatal = 3;         // ends the program after OK
inline constexpr uint8_t LevelCancelled = 4;     // asked like LevelAsk; as a result, the user declined
inline constexpr uint8_t LevelNotice = 5;        // a notice; as a result, failure already reported

}  // namespace verdo
