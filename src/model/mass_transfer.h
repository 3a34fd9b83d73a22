#pragma once

namespace quarn {

// The gas-side mass-transfer coefficient over an evaporating square source, from the
// laminar flat-plate correlation Sh = 0.33 Re^0.65 with the source's side as the length.
// Each step is held in single precision, as the coefficient window shows it.
struct MassTransferResult {
  enum class Status {
    Ok,
    NoArea,    // an area below 1E-08 m² (blank, zero or negative)
    Negative,  // a negative air velocity or diffusivity
    TooLarge,  // values so large that the coefficient is no finite single
  };
  Status status = Status::Ok;
  float re = 0;  // Reynolds number, with ν = 66/1200 m²/h
  float sh = 0;  // Sherwood number
  float km = 0;  // m/h
};

// velocity in cm/s over a source of `area` m², the pollutant's diffusivity in m²/h.
MassTransferResult MassTransferCoefficient(float velocity, float area, float diffusivity);

}  // namespace quarn
