#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The internal voice: a database of recorded segments named by the phonemes they hold
// (NAME.IND index, NAME.DIF 8-bit unsigned samples at 11 025 Hz) in the DIRDIFONES folder,
// and letter recordings "_" + code + ".wav" in the DIRLETRAS folder. Speaking concatenates
// segments into one 64 000-byte wave buffer that is played whenever it fills and at the end.
namespace diphone {

constexpr int kDiphoneReady = 0;
constexpr int kDiphoneFilesMissing = 1;  // a folder, the index or the data file
constexpr int kDiphoneRulesMissing = 2;  // regras.rgr or portug.exc

// Module start: the tuning goes back to its load-time values ("DIFONES2", 400, 0 and 100).
void DiphoneStart();
// Tuning handed on by the speech settings before DiphoneOpen. The database name is cut to 8
// characters.
void DiphoneSetDatabase(const std::string& name);
void DiphoneSetCut(int bytes);
void DiphoneSetFloor(int bytes);
void DiphoneSetGap(int samples);

// Where full buffers go: with a sink set, each flush hands the samples (8-bit unsigned mono,
// 11 025 Hz, no header) to it at once instead of playing them, and nothing is waited for;
// an empty sink puts the player back. For writing speech to a file and for measuring.
void DiphoneSetOutputSink(std::function<void(const std::uint8_t* samples, std::size_t count)> sink);

// Opens the folders, the index, the data file and the translator's files; the current
// folder is the same afterwards on every path.
int DiphoneOpen();
// Releases everything; safe after a failed open and when never opened.
void DiphoneClose();
// The letters folder as DiphoneOpen read it, ending in a separator (empty before an open).
std::string DiphoneLettersFolder();

// Speaks a phoneme string from TranslateToPhonemes and returns when all of it has been
// played. With `keepPunctuation` false the units "_," "_." "_:" "_;" are pauses; with it true
// they are played as letter recordings.
void DiphoneSpeak(const std::string& phonemes, bool keepPunctuation);

// The names DiphoneSpeak asks for first, in order, before any fallback for a missing one:
// database names ("$KA", "$ACIRC", ...) and letter recordings ("_66"). Pauses and gaps are
// left out. Needs no open database; the split is exactly the one DiphoneSpeak makes.
std::vector<std::string> DiphoneSegmentNames(const std::string& phonemes, bool keepPunctuation);

}  // namespace diphone
