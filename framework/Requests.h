#pragma once
#include <cstdint>

namespace verdo {

// What a window is called to do.
namespace Request {
inline constexpr uint8_t None = 0;
inline constexpr uint8_t Insert = 1;
inline constexpr uint8_t Change = 2;
inline constexpr uint8_t Delete = 3;
inline constexpr uint8_t Select = 4;
inline constexpr uint8_t Print = 5;
inline constexpr uint8_t View = 6;
}  // namespace Request

// How a window ended.
namespace Response {
inline constexpr uint8_t Undecided = 0;
inline constexpr uint8_t Completed = 1;
inline constexpr uint8_t Cancelled = 2;
}  // namespace Response

// The request a caller hands to the window it opens next, and the response that window
// leaves behind. Every window that takes no request clears both at its start, so that a
// request never reaches a window it was not meant for.
inline uint8_t GlobalRequest = Request::None;
inline uint8_t GlobalResponse = Response::Undecided;

inline void ClearGlobalRequest() {
    GlobalRequest = Request::None;
    GlobalResponse = Response::Undecided;
}

}  // namespace verdo
