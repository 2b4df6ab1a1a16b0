#pragma once

// Every time limit of the controller link in one place.
namespace LinkTiming {
// The controller answers 'y' or 'n' within this window after the last byte was handed over.
constexpr int ReplyWindowMs = 100;
// The ready byte 'a' that answers a transfer header comes within this window.
constexpr int ReadyWindowMs = 100;
// The short pause some command sequences make between two writes.
constexpr int ShortDelayMs = 2;
// With a receive threshold above one byte, fewer bytes are still delivered after this quiet gap,
// so a short answer is never held back for long.
constexpr int ReceiveIdleGapMs = 5;
// A piece that the line has not taken within this time means the line is stalled (a controller
// holding XOFF for ever, a cable pulled at the far end): the transfer gives up instead of hanging.
constexpr int OutputStallLimitMs = 5000;
} // namespace LinkTiming
