#pragma once

#include <array>
#include <string>
#include <variant>

#include "model/prompt.h"

namespace quarn {

// The desk calculator's arithmetic: a readout and the four operations, percent, clear and
// clear entry, applied left to right without precedence; a percent after + or - is that
// share of the first operand (50 + 10 % = 55). Arithmetic is in double precision
// and a computed result shows as FormatDouble does (15 digits, "0.5"); a number being typed
// shows its trailing point until the point key is used ("12.").
class CalculatorEngine {
 public:
  // The captions of the operator keys, in the order of their index.
  static constexpr std::array<char, 5> kOperators = {'/', '+', 'X', '-', '='};

  explicit CalculatorEngine(Prompt& prompt);

  const std::string& Readout() const { return readout_; }

  void Digit(int digit);
  void Decimal();
  void Clear();
  void ClearEntry();
  void Percent();
  // One of kOperators.
  void Operator(char op);

  // A typed character through the keyboard map: digits, ".", "+", "-", "/", "z", "x" and "*"
  // (multiply), "%", "=", "c" (clear) and "e" (clear entry). Returns false for any other
  // character, which does nothing.
  bool Key(char ch);

 private:
  enum class Last { None, Nums, Ops, Neg, ClearedEntry };
  // An operand holds the readout's text as it was taken, or a computed number; both read
  // as a number by their leading numeric part, so "-" alone reads as 0.
  using Operand = std::variant<std::string, double>;
  static double Value(const Operand& operand);
  static std::string Text(const Operand& operand);
  void Apply();

  Prompt& prompt_;
  std::string readout_;
  Last last_ = Last::None;
  char pending_ = ' ';
  int operand_count_ = 0;
  bool decimal_ = false;
  // The last key was percent.
  bool percent_last_ = false;
  Operand first_;
  Operand second_;
  std::string saved_readout_;
};

}  // namespace quarn
