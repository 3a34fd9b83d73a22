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

// Why a number entry whose comma is not a thousands separator is refused, quoting it.
std::string NumberCommaMessage(const std::string& entry);

// Makes the box refuse every other typed character; a comma is refused with a message, as
// the box has no moment of storing at which a decimal comma could be told from grouping.
// Keys that type nothing (arrows, Delete, Home), Tab, Enter and Ctrl shortcuts keep working;
// a box read by its leading number shrugs off anything pasted.
void RestrictToNumbers(QLineEdit& box, Prompt& prompt);
// The same for a box of a whole count (a pollutant or occupant number), where a comma means
// no decimal and is refused without a word.
void RestrictToNumbers(QLineEdit& box);

// The number at the start of a box's text, as a Single (saturated beyond its range).
float BoxSingle(const QLineEdit& box);

}  // namespace quarn
