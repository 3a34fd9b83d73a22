#include "model/emission_model_titles.h"

namespace quarn {

namespace {

constexpr ModelTitleTable kTitles = {{
    {"", "C0", "k1", "M01", "Mt1", "k2", "M02", "Mt2", "", "", ""},
    {"", "R0", "k", "R2", "k2", "R3", "k3", "--", "", "", ""},
    {"", "R0", "k1", "--", "--", "--", "--", "--", "", "", ""},
    {"", "C0", "k1", "MVB0", "Applied", "E", "--", "--", "", "", ""},
    {"", "Alpha", "--", "--", "--", "--", "--", "--", "", "", ""},
    {"", "KOL", "Henry's Law", "Water Conc", "--", "--", "--", "--", "", "", ""},
    {"", "A0", "A1", "A2", "A3", "A4", "--", "--", "", "", ""},
    {"", "C0", "k", "mg/g product", "--", "--", "--", "--", "", "", ""},
    {"", "C0", "k", "mg/g product", "--", "--", "--", "--", "", "", ""},
    {"", "C0", "k m/h", "mg spilled", "--", "--", "--", "--", "", "", ""},
    {"", "C0", "k m/h", "mg/g product", "--", "--", "--", "--", "", "", ""},
}};

// Columns in use per model: the titled ones that are not "--".
constexpr std::array<int, kNumEmissionModels> kColumnCounts = {7, 6, 2, 5, 1, 3, 5, 3, 3, 3, 3};

}  // namespace

const ModelTitleTable& ModelParameterTitles() {
  return kTitles;
}

std::string_view ModelParameterTitle(int model, int row) {
  if (model < 0 || model >= kNumEmissionModels || row < 0 || row >= kNumParams) return {};
  return kTitles[static_cast<size_t>(model)][static_cast<size_t>(row)];
}

int ParameterColumnCount(int model) {
  if (model < 0 || model >= kNumEmissionModels) return kNumParams;
  return kColumnCounts[static_cast<size_t>(model)];
}

}  // namespace quarn
