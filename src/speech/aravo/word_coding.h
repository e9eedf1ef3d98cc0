#pragma once

#include <string>
#include <vector>

// Word coding: the normalised text cut into classed tokens, and each token given the
// three-digit intonation code that its class and its neighbours' classes call for.
namespace aravo {

// The class of a key word (upper-cased before the look-up), or empty text.
std::string WordClass(const std::string& word);

// Items "[CL]text": words with their class ("XX" when none), punctuation with its sign
// doubled as class ("[,,],"), "..." as "[.-].", and the phrase mark "[--]" at the start and
// after every ".", "!" and "?".
std::vector<std::string> SplitTokens(const std::string& text);

// Lines "code|text" for the items. With `apply`, the code of the first intonation
// pattern whose class patterns fit the classes before, of and after the item ("555" when none fits; a leading
// "?" takes the last digit of the previous code); without it, "555" for every item.
std::vector<std::string> AssignCodes(const std::vector<std::string>& items, bool apply);

}  // namespace aravo
