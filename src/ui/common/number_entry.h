#pragma once

class QLineEdit;

namespace quarn {

// A character that a number-only box takes (as its Windows-1252 code): digits, "+", "-",
// ".", "*", "/", the exponent's "E" or "e", and Backspace. A comma is refused, never
// dropped later: "2,5" would otherwise be stored as 25.
bool IsNumberEntryCharacter(int ch);

// Makes the box refuse every other typed character. Keys that type nothing (arrows,
// Delete, Home), Tab, Enter and Ctrl shortcuts keep working; a box read by its leading
// number shrugs off anything pasted.
void RestrictToNumbers(QLineEdit& box);

// The number at the start of a box's text, as a Single (saturated beyond its range).
float BoxSingle(const QLineEdit& box);

}  // namespace quarn
