#pragma once

// Windows virtual-key codes. Every backend reports keys in this numbering so that the
// keyboard tables of the console apply unchanged on every system.
namespace platform {

constexpr int kVkCancel = 0x03;  // Ctrl+Break
constexpr int kVkBack = 0x08;
constexpr int kVkTab = 0x09;
constexpr int kVkReturn = 0x0D;
constexpr int kVkShift = 0x10;
constexpr int kVkControl = 0x11;
constexpr int kVkMenu = 0x12;  // Alt
constexpr int kVkPause = 0x13;
constexpr int kVkCapital = 0x14;
constexpr int kVkEscape = 0x1B;
constexpr int kVkSpace = 0x20;
constexpr int kVkPrior = 0x21;  // Page Up
constexpr int kVkNext = 0x22;   // Page Down
constexpr int kVkEnd = 0x23;
constexpr int kVkHome = 0x24;
constexpr int kVkLeft = 0x25;
constexpr int kVkUp = 0x26;
constexpr int kVkRight = 0x27;
constexpr int kVkDown = 0x28;
constexpr int kVkInsert = 0x2D;
constexpr int kVkDelete = 0x2E;
constexpr int kVk0 = 0x30;  // '0'..'9' are 0x30..0x39
constexpr int kVkA = 0x41;  // 'A'..'Z' are 0x41..0x5A
constexpr int kVkF1 = 0x70; // F1..F12 are 0x70..0x7B
constexpr int kVkF4 = 0x73;
constexpr int kVkF10 = 0x79;
constexpr int kVkF11 = 0x7A;
constexpr int kVkF12 = 0x7B;

constexpr int VkLetter(char upper) { return kVkA + (upper - 'A'); }
constexpr int VkDigit(int d) { return kVk0 + d; }
constexpr int VkFunction(int n) { return kVkF1 + n - 1; }

}  // namespace platform
