#include "model/calculator_engine.h"

#include "text/number_read.h"
#include "text/number_text.h"

namespace quarn {

namespace {

// Minus zero (0 times a negative number) would show as "-0".
std::string ResultText(double value) {
  return FormatDouble(value == 0.0 ? 0.0 : value);
}

}  // namespace

CalculatorEngine::CalculatorEngine(Prompt& prompt) : prompt_(prompt) {
  Clear();
}

double CalculatorEngine::Value(const Operand& operand) {
  if (const auto* text = std::get_if<std::string>(&operand)) return LeadingNumber(*text);
  return std::get<double>(operand);
}

std::string CalculatorEngine::Text(const Operand& operand) {
  if (const auto* text = std::get_if<std::string>(&operand)) return *text;
  return ResultText(std::get<double>(operand));
}

void CalculatorEngine::Digit(int digit) {
  percent_last_ = false;
  if (last_ != Last::Nums) {
    readout_ = ".";
    decimal_ = false;
  }
  const char d = static_cast<char>('0' + digit);
  if (decimal_) {
    readout_ += d;
  } else {
    // The point stays last while the integer digits are typed.
    readout_ = readout_.substr(0, readout_.find('.')) + d + '.';
  }
  if (last_ == Last::Neg) readout_ = "-" + readout_;
  last_ = Last::Nums;
}

void CalculatorEngine::Decimal() {
  percent_last_ = false;
  if (last_ == Last::Neg) {
    readout_ = "-0.";
  } else if (last_ != Last::Nums) {
    readout_ = "0.";
  }
  decimal_ = true;
  last_ = Last::Nums;
}

void CalculatorEngine::Clear() {
  readout_ = "0.";
  first_ = 0.0;
  second_ = 0.0;
  decimal_ = false;
  operand_count_ = 0;
  last_ = Last::None;
  pending_ = ' ';
  percent_last_ = false;
}

void CalculatorEngine::ClearEntry() {
  readout_ = "0.";
  decimal_ = false;
  last_ = Last::ClearedEntry;
  percent_last_ = false;
}

void CalculatorEngine::Percent() {
  const bool sum = pending_ == '+' || pending_ == '-';
  // "50 + 10 %" is 10 percent of 50 added, as on a desk calculator: the entry becomes that
  // share of the first operand, and "=" adds or subtracts it.
  const bool of_first = sum && operand_count_ == 1 && last_ == Last::Nums;
  const double entry = LeadingNumber(readout_);
  readout_ = ResultText(of_first ? Value(first_) * entry / 100.0 : entry / 100.0);
  // A second percent straight after the first works on the same operand: it is counted once,
  // so that the next operator still computes.
  if (!percent_last_) ++operand_count_;
  last_ = Last::Ops;
  if (!of_first && !(percent_last_ && sum)) pending_ = '%';
  percent_last_ = true;
  decimal_ = true;
}

void CalculatorEngine::Operator(char op) {
  percent_last_ = false;
  saved_readout_ = readout_;
  if (last_ == Last::Nums) ++operand_count_;
  if (operand_count_ == 0) {
    if (op == '-' && last_ != Last::Neg) {
      readout_ = "-" + readout_;
      last_ = Last::Neg;
    }
  } else if (operand_count_ == 1) {
    first_ = readout_;
    // A minus straight after an operator is the sign of the next number, except after
    // "=", where it subtracts from the result.
    if (op == '-' && last_ != Last::Nums && pending_ != '=') {
      readout_ = "-";
      last_ = Last::Neg;
    }
  } else if (operand_count_ == 2) {
    second_ = saved_readout_;
    Apply();
    readout_ = Text(first_);
    operand_count_ = 1;
  }
  if (last_ != Last::Neg) {
    last_ = Last::Ops;
    pending_ = op;
  }
}

void CalculatorEngine::Apply() {
  const double a = Value(first_);
  const double b = Value(second_);
  switch (pending_) {
    case '+':
      first_ = a + b;
      break;
    case '-':
      first_ = a - b;
      break;
    case 'X':
    case '%':
      first_ = a * b;
      break;
    case '/':
      if (b == 0.0) {
        prompt_.Message("Can't divide by zero", "Calculator", MessageIcon::Exclamation);
      } else {
        first_ = a / b;
      }
      break;
    case '=':
      first_ = second_;
      break;
    default:
      break;
  }
}

bool CalculatorEngine::Key(char ch) {
  if (ch >= '0' && ch <= '9') {
    Digit(ch - '0');
    return true;
  }
  switch (ch) {
    case '.':
      Decimal();
      return true;
    case '+':
    case '-':
    case '/':
    case '=':
      Operator(ch);
      return true;
    case 'z':
    case 'x':
    case '*':
      Operator('X');
      return true;
    case '%':
      Percent();
      return true;
    case 'c':
      Clear();
      return true;
    case 'e':
      ClearEntry();
      return true;
    default:
      return false;
  }
}

}  // namespace quarn
