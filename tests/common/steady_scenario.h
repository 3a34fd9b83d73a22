#pragma once

#include "model/records.h"

namespace quarn {

// The plain case that hand-worked and exact-solution checks start from: everything in mg,
// constant air flows, HVAC and outdoor air, no ventilation schedule and no HVAC history.
inline void MakeSteadyInMilligrams(ScenarioRecord& s) {
  s.ConcUnits = s.OutdoorConcUnits = s.InitialConcUnits = "milligrams";
  s.ConstantACH = s.ConstantHVAC = s.ConstantOutdoorConc = "Y";
  s.VentScheduleFlag = s.HVACHistoryCycle = "N";
  s.NumOutdoorConcPoints = 1;
}

}  // namespace quarn
