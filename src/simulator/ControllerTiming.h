#pragma once

// Every time and size the virtual controller works with, in one place. The program gives the
// controller 100 ms for its ready byte and 100 ms for its final answer; the gaps below leave room
// inside those windows.
namespace ControllerTiming {
// A command written in one piece arrives as one burst. This much quiet after the last byte ends
// a command whose length the controller cannot know in advance (attribute record, upload, a
// transfer header without a type letter, anything unrecognised).
constexpr int CommandGapMs = 20;
// Picture data and raw text come as two-character pieces with a short pause after each. A quiet
// line for this long means the sender stopped: the block is judged as it stands. Half the reply
// window, so a truncated block is still answered "n" in time.
constexpr int DataGapMs = 50;
// Between its ready byte and the first data digit the controller waits longer than the program's
// ready window: a program that never saw the ready byte sends its data after that window.
constexpr int FirstDataGapMs = 250;
// The quiet line is watched in ticks of this length while a command is in progress.
constexpr int GapTickMs = 5;
// A tick that comes later than this after the one before counts only this much quiet: the
// controller's process was not running, so it cannot tell how long the line was quiet. Two
// ticks' worth, so that even the shortest gap needs ticks from a running process: when the
// controller runs inside the program, the program was stalled too and writes again at once.
constexpr int LongestTickCreditMs = 2 * GapTickMs;
// Answers held back by the "late" misbehaviour arrive this long after they were due, past the
// program's reply window even when that window opens late: a far end that reads at once takes a
// picture's last digit up to 50 ms before the program's line account says it has left.
constexpr int LateAnswerMs = 250;
// The raw-text input: how many characters it holds, and how fast the controller takes them out.
constexpr int TextCapacity = 256;
constexpr int TextCharsPerSecond = 2000;
// How often the raw-text input is emptied a little while it holds characters.
constexpr int TextDrainTickMs = 5;
} // namespace ControllerTiming
