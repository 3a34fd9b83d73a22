#pragma once

#include <array>
#include <string_view>

#include "model/records.h"

namespace quarn {

// The emission models 0 ("Mass transfer") to 10 ("Exact spill").
inline constexpr int kNumEmissionModels = 11;

// The title of each parameter column of an emission model, by model and title row: row r
// heads parameter column r of the source window, which edits Params(r - 1, p). Rows 1 to 7
// are set, "--" marks a column the model does not use, rows 0 and 8 to 10 are empty. The
// source window and the printouts read the same table, so that a parameter is printed
// under the name it was entered under.
using ModelTitleTable = std::array<std::array<std::string_view, kNumParams>, kNumEmissionModels>;
const ModelTitleTable& ModelParameterTitles();

// One title; "" for a model outside 0 to 10 or a row outside 0 to 10, since such a model
// has no parameters the program knows how to name.
std::string_view ModelParameterTitle(int model, int row);

// How many parameter columns the source window shows for the model; 11 (every parameter
// row) for a model outside 0 to 10, so that nothing stored is hidden.
int ParameterColumnCount(int model);

}  // namespace quarn
