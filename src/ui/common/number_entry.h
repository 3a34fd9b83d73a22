#pragma once

#include <string>

class QLineEdit;

namespace quarn {

class Prompt;

// A character that a number-only grid entry takes (as its Windows-1252 code): digits, "+",
// "-", ".", "*", "/", the exponent's "E" or "e", Backspace, and the comma, which the entry
// keeps only where it groups thousands ("8,760"): dropped, "2,5" would be stored as 25, and
// read up to it, as 2.
bool IsNumberEntryCharacter(int ch);

// Why the text cannot go into a number cell, in the words of the message that refuses it
// ("\"7x\" is not a number.  ..."); empty when it can: a blank, or one number whose commas
// only group thousands ("1,500"). Whatever follows the number is refused ("7x" would be read
// as 7, "2*3" as 2), but for the unit that the cell shows after its number now ("8,760.0 hr"),
// which an entry that began as the cell's text may keep.
std::string NumberEntryFault(const std::string& entry, const std::string& cell_text = {});
// The text a number cell keeps of an entry NumberEntryFault accepts: without its commas, so
// that a cell read up to its first comma reads the whole number.
std::string StoredNumberText(const std::string& entry);

// Makes the box refuse every other typed character; a comma is refused with a message, as
// the box has no moment of storing at which a decimal comma could be told from grouping.
// Keys that type nothing (arrows, Delete, Home), Tab, Enter and Ctrl shortcuts keep working.
// A paste or a drop that brings in what could not be typed is refused whole with a message,
// and the box keeps what it held.
void RestrictToNumbers(QLineEdit& box, Prompt& prompt);
// The same for a box of a whole count (a pollutant or occupant number), where a comma means
// no decimal and is refused without a word, as is a paste.
void RestrictToNumbers(QLineEdit& box);

// The number at the start of a box's text, as a Single (saturated beyond its range).
float BoxSingle(const QLineEdit& box);

}  // namespace quarn
