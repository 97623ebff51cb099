#pragma once
// The words of one NC line as the standard reading sees them: address letters of either case
// with a number; blanks are ignored everywhere, also inside numbers ("X 1 0" is X10);
// comments in parentheses and after ";" are skipped with everything in them; a leading "/"
// (the line is run) and a leading N word are accepted. Expressions, parameters and O words
// are refused, never guessed at.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace plotalon {

struct TNcWord {
    char Letter = 0;         // upper case
    long double Value = 0;   // the number as written
    std::string_view Number; // the number's characters as written, for messages
};

// What one line holds.
struct TNcLine {
    // A line of nothing but "%" (and blanks): it opens or closes a program.
    bool Percent = false;
    // Nothing but blanks: no word, no comment, no "/".
    bool Blank = true;
    std::array<TNcWord, 64> Words;
    std::size_t Count = 0;
};

// Reads line into words. Raises ENcError with a message naming the fault: a character that
// has no place in a word, a letter without its number, a comment left open or opened inside
// another, "[" expressions, "#" parameters, O words, an N word after other words.
void ReadNcWords(std::string_view line, TNcLine& words);

// A word as the user wrote it, without blanks: "X-1.5", "G41".
std::string WordText(const TNcWord& word);

} // namespace plotalon
