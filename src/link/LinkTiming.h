#pragma once

// Every time limit of the controller link in one place.
namespace LinkTiming {
// The controller answers 'y' or 'n' within this window after the last byte has left on the line.
constexpr int ReplyWindowMs = 100;
// The ready byte 'a' that answers a transfer header comes within this window, counted from the
// moment the header has left on the line.
constexpr int ReadyWindowMs = 100;
// The short pause some command sequences make between two writes.
constexpr int ShortDelayMs = 2;
// With a receive threshold above one byte, fewer bytes are still delivered after this quiet gap,
// so a short answer is never held back for long.
constexpr int ReceiveIdleGapMs = 5;
// A piece that the line has not taken within this time means the line is stalled (a controller
// holding XOFF for ever, a cable pulled at the far end): the transfer gives up instead of hanging.
constexpr int OutputStallLimitMs = 5000;
// Raw text keeps at most this much line time written ahead of the line (in the system's queue,
// an adapter's chip or the line-time account). Waiting for a fully empty queue after every
// two-character piece would cost a USB adapter's turnaround (about a millisecond) per piece; five
// milliseconds keep the line busy while progress, Pause and Cancel still follow the line, and
// what is already under way when the controller sends XOFF stays small.
constexpr int LinePaceAheadMs = 5;
// Picture data go without flow control and keep a longer lead: a controller ends a picture
// without its type letter on a quiet line, so the lead carries the line through a short stall of
// the program (a busy window, a loaded machine) instead of ending the picture early.
constexpr int PictureLineAheadMs = 50;
// The system's output count falls without a signal; while it holds bytes it is read this often.
constexpr int OutputPollMs = 1;
} // namespace LinkTiming
