#pragma once

#include <algorithm>
#include <array>
#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>

#include "model/fixed_string.h"

namespace quarn {

// Bounds of the model. Every array runs from 0; a count beside it says how much is used.
inline constexpr int kMaxRooms = 13;        // rooms 1..13; index 0 is outdoors or the HVAC system
inline constexpr int kRoomSlots = 14;       // per-room arrays 0..13
inline constexpr int kMaxPollutants = 8;    // pollutants 0..7
inline constexpr int kMaxSources = 3;       // source slots 1..3 (arrays 0..3)
inline constexpr int kMaxSinks = 2;         // sink slots 1..2 (arrays 0..2)
inline constexpr int kMaxOccupants = 3;     // occupants 1..3 (arrays 0..3)
inline constexpr int kMaxSchedule = 24;     // activity entries 1..24 (arrays 0..24)
inline constexpr int kMaxHistory = 50;      // history points 1..50 (arrays 0..50)
inline constexpr int kMaxCycles = 5;        // on/off cycles 1..5 (arrays 0..5)
inline constexpr int kNumParams = 11;       // emission model parameter rows 0..10
inline constexpr int kFilterPositions = 5;  // filter positions 0..4, 0 the HVAC filter

template <class T>
using PerRoom = std::array<T, kRoomSlots>;
template <class T>
using PerPollutant = std::array<T, kMaxPollutants>;
using History = std::array<float, kMaxHistory + 1>;
using RoomMatrix = std::array<std::array<float, kRoomSlots>, kRoomSlots>;  // (room, room)
using RoomPollutant =
    std::array<std::array<float, kMaxPollutants>, kRoomSlots>;  // (room, pollutant)
using HistoryPollutant = std::array<std::array<float, kMaxPollutants>, kMaxHistory + 1>;

// Flags held in integers store 0 for false and -1 for true.
inline constexpr int16_t kTrue = -1;
inline constexpr int16_t kFalse = 0;

// The record types keep the field names of the stored file layouts, which the naming rule
// would otherwise turn into the program's own style.
// NOLINTBEGIN(readability-identifier-naming)
struct SourceRecord {
  std::string Name;
  int16_t Model = 0;          // 0..10, see EmissionModelName
  int16_t EmissionUnits = 0;  // 0 "mg/h", 1 "µg/h", 2 "Number/h"
  double UnitFactor = 0;
  int16_t SourceUnitsCode = 0;
  float GasVelocity = 0;  // cm/s
  float TotalMass = 0;
  float ScaledMass = 0;
  float SourceValue = 0;
  float TotalMoles = 0;
  PerPollutant<float> ParamPerMole{};
  PerPollutant<float> RawParam3{};
  PerPollutant<float> SourceWork1{};
  std::array<std::array<float, kMaxPollutants>, kNumParams> Params{};  // (row, pollutant)
  float SpillArea = 0;
  PerPollutant<float> SourceWork2{};
  float Size = 0;
  int16_t NumCycles = 0;
  std::array<float, kMaxCycles + 1> TimeOn{};
  std::array<float, kMaxCycles + 1> TimeOff{};
  float SourceAge = 0;
  PerPollutant<float> ModelWork1{};
  PerPollutant<float> ModelWork2{};  // kept only for the file layout
  float CurrentTime = 0;
  FixedString<1> CycleRepeats;  // "N", "H", "D", "W", "M", "O"
  float SourceFactor = 0;

  bool operator==(const SourceRecord&) const = default;
};

struct SinkRecord {
  std::string Name;
  PerPollutant<float> ka{};
  PerPollutant<float> kd{};
  float Area = 0;
  PerPollutant<float> Mass{};
  std::string Comments;
};

struct OccupantRecord {
  int16_t Number = 0;
  std::string Name;
  float Weight = 0;
  float EfficiencyFactor = 0;
  float BreathingRate = 0;
  float Lifetime = 0;
  float Population = 0;
  float CycleLength = 0;
  int16_t NumSegments = 0;
  float AveragingTime = 0;
  float StartTime = 0;
  float EndTime = 0;
  std::array<float, kMaxSchedule + 1> TimeEnter{};
  std::array<float, kMaxSchedule + 1> TimeLeave{};
  std::array<std::string, kMaxSchedule + 1> Location{};
  std::array<float, kMaxSchedule + 1> LocationRoom{};
  PerPollutant<float> PotentialDose{};
  PerPollutant<float> CancerRiskResult{};
  PerPollutant<float> IrritantExposure{};
  PerPollutant<float> ExposureTime{};
  PerPollutant<float> TotalExposure{};
  PerPollutant<float> HoursAboveIrritant{};
  PerPollutant<float> Dose{};
  PerPollutant<float> PeakExposure{};
  PerPollutant<float> AverageExposure{};
  PerPollutant<float> LifetimeExposure{};
  float OccupantValue = 0;
  std::string InstExposureFile;
  std::string CumExposureFile;
  std::string AvgExposureFile;
  float AbsorbedMass = 0;  // read by the result windows; 0 after a reset
};

struct PollutantRecord {
  std::string Name;
  float IrritantConc = 0;
  float IrritantFactor = 0;
  float CancerRisk = 0;
  float RfD = 0;
  float RfC = 0;
  float C0 = 0;     // saturation concentration, mg/m³
  float Spare = 0;  // kept only for the file layout
  float MolWt = 0;
  float Diffusivity = 0;
  float Density = 0;
  float Diameter = 0;
  float DepositionVelocity = 0;
  std::string Comments;
};

struct RoomRecord {
  std::string Name;
  int16_t HVAC = 0;
  float Length = 0;
  float Width = 0;
  float Height = 0;
  float Volume = 0;
  int16_t NumNeighbors = 0;
};

struct ScenarioRecord {
  std::string Name;
  std::string Comments;
  float OverallACH = 0;
  std::string ConcUnits;
  std::string OutdoorConcUnits;
  HistoryPollutant OutdoorConcInput{};  // (time row, pollutant) as entered, in OutdoorConcUnits
  std::string InitialConcUnits;
  RoomPollutant InitialConcInput{};  // as entered, in InitialConcUnits
  FixedString<1> ConstantACH;
  FixedString<1> GeneralFlag;  // kept only for the file layout
  FixedString<1> VentScheduleFlag;
  FixedString<8> PollutantClass;
  FixedString<1> ManagedFlowFlag;
  PerRoom<float> ManagedSupply{};
  PerRoom<float> ManagedReturn{};
  RoomMatrix ManagedRoomFlows{};
  PerRoom<float> ManagedToOutdoors{};
  PerRoom<float> ManagedFromOutdoors{};
  float ManagedValue1 = 0;  // see ManagedIntakeTotal and the three after it
  float ManagedValue2 = 0;
  float ManagedValue3 = 0;
  float ManagedValue4 = 0;
  History VentRate{};
  History VentTime{};
  float PenetrationDefault = 0;
  PerPollutant<float> BuildingPenetration{};
  FixedString<1> ConstantOutdoorConc;
  HistoryPollutant OutdoorConc{};  // (time row, pollutant)
  History OutdoorConcTime{};
  int16_t NumOutdoorConcPoints = 0;
  RoomPollutant InitialConc{};
  int16_t HVACInUse = 0;
  int32_t HVACType = 0;
  PerRoom<float> BaseHVACSupply{};
  PerRoom<float> BaseHVACReturn{};
  PerRoom<float> HVACSupply{};
  PerRoom<float> HVACReturn{};
  RoomMatrix HVACRoomFlows{};
  PerRoom<float> HVACExhaust{};
  PerRoom<float> WorkingHVACExhaust{};
  PerRoom<float> HVACOutdoorAir{};
  PerRoom<float> WorkingHVACOutdoorAir{};
  RoomMatrix FlowMatrix{};
  PerPollutant<float> PollutantWork{};
  float HVACOutdoorAirTotal = 0;  // the HVAC system's exhaust to outdoors (leaving)
  float HVACMakeUpTotal = 0;      // the HVAC system's outdoor intake (entering)
  int16_t HVACHistoryOutdoorOnly = 0;
  float HVACTotalFlow = 0;
  std::array<std::array<float, kMaxPollutants>, kFilterPositions> FilterPenetration{};
  float FilterCapacity = 0;  // g
  PerPollutant<float> SparePollutantValues{};
  PerPollutant<float> AirCleanerMass{};
  History HVACHistoryTime{};
  History HVACHistoryFraction{};
  FixedString<1> HVACHistoryCycle;
  int16_t HVACFilterType = 0;
  int32_t HVACHistoryWork = 0;
  FixedString<1> ConstantHVAC;
  RoomMatrix NaturalRoomFlows{};  // (from, to)
  PerRoom<float> NaturalFromOutdoors{};
  PerRoom<float> NaturalToOutdoors{};
  std::array<std::array<SourceRecord, kMaxSources + 1>, kRoomSlots> Sources{};  // (room, slot)
  PerRoom<int16_t> NumSources{};
  std::array<std::array<SinkRecord, kMaxSinks + 1>, kRoomSlots> Sinks{};  // (room, slot)
  PerRoom<int16_t> NumSinks{};
  PerPollutant<float> TotalEmitted{};
  // The run's totals, in concentration units times m³ (mass once scaled by the units).
  PerPollutant<float> SinkMass{};      // held by the sinks
  PerPollutant<float> PeakSinkMass{};  // the running maximum of SinkMass
  PerPollutant<float> LeavingMass{};   // gone out of the building
  PerPollutant<float> AirborneMass{};  // in the air of the rooms
  RoomPollutant RoomPollutantWork{};
  PerRoom<float> LossCoefficient{};
  std::array<OccupantRecord, kMaxOccupants + 1> Occupants{};
  PerRoom<float> PeakConc{};
  RoomPollutant RoomConc{};
  RoomPollutant PreviousRoomConc{};
  PerRoom<float> AirCleanerEff{};          // %
  PerRoom<float> AirCleanerPenetration{};  // (100 - eff) / 100
  PerRoom<float> AirCleanerFlow{};         // room volumes per hour
  PerRoom<float> AirCleanerCollected{};
  PerPollutant<float> CurrentOutdoorConc{};
  int16_t NumPollutants = 0;
  float StepTime = 0;
  std::array<PollutantRecord, kMaxPollutants> Pollutants{};
  float Temperature = 0;  // °C
  float Pressure = 0;     // mm Hg
  float HoursSimulated = 0;
  float YearsSimulated = 0;
  float RunSetting1 = 0;  // kept only for the file layout
  int16_t RunSetting2 = 0;
  float StepSize = 0;  // h
  std::string RunLabel;
  int32_t NumOutputRecords = 0;
  float LastOutputTime = 0;
  std::string ExposureFileBase;
  int16_t NumOccupants = 0;
  std::string ExposureMode;  // "I" inhalation
  float ExposureCompareTime = 0;
  int16_t LongTermOptions = 0;
};

struct BuildingRecord {
  std::string ID;
  std::string Comments;
  int16_t ScenarioNumber = 0;
  int16_t NumRooms = 0;
  std::string MasterFile;
  PerRoom<RoomRecord> RoomList{};
  std::array<std::array<int16_t, kRoomSlots>, kRoomSlots> Neighbors{};
  int16_t SpareCount = 0;
  int32_t SpareValue = 0;
  ScenarioRecord Scenario;
  std::string ConcWorkFile;
  float TotalRoomVolume = 0;
  int16_t DisplayUnitCode = 0;  // 0 mg/m³, 1 µg/m³, 2 ppm, 3 #/cc, 4 #/m³
};
// NOLINTEND(readability-identifier-naming)

// Names for the stored fields that the run and the windows read: the file layouts keep the
// numbered names, the code reads what each holds.

// A record of the given type, const or not: each accessor below is then one function that
// gives a const record's field read-only and a mutable record's field writable.
template <class R, class Record>
concept RecordRef = std::same_as<std::remove_const_t<R>, Record>;

// The managed system's totals, m³/h: outdoor air taken in (entering) and exhausted (leaving).
inline auto& ManagedIntakeTotal(RecordRef<ScenarioRecord> auto& s) {
  return s.ManagedValue1;
}
inline auto& ManagedExhaustTotal(RecordRef<ScenarioRecord> auto& s) {
  return s.ManagedValue2;
}
// The period in which the managed flows replace the others, h from the start of the run.
inline auto& ManagedPeriodStart(RecordRef<ScenarioRecord> auto& s) {
  return s.ManagedValue3;
}
inline auto& ManagedPeriodEnd(RecordRef<ScenarioRecord> auto& s) {
  return s.ManagedValue4;
}
// The run takes the managed flows only when the flag says so, and a period that ends at 0
// is no period.
inline void SetManagedFlowFlag(ScenarioRecord& s) {
  s.ManagedFlowFlag = ManagedPeriodEnd(s) > 0 ? "Y" : "N";
}

// The spill models' liquid (models 8 and 10): the mass of each pollutant in it, mg, and the
// moles of each left in it.
inline auto& LiquidMass(RecordRef<SourceRecord> auto& s) {
  return s.ModelWork1;
}
inline auto& MolesLeft(RecordRef<SourceRecord> auto& s) {
  return s.SourceWork1;
}
// The composition window's content of each component, mg per g of the product.
inline auto& CompositionMgPerGram(RecordRef<SourceRecord> auto& s) {
  return s.SourceWork2;
}

// A class whose first two characters are "PM" switches the program to particle mode.
inline bool IsParticleMode(const ScenarioRecord& s) {
  return s.PollutantClass.str().compare(0, 2, "PM") == 0;
}

// The counts of the records, held to the records' bounds: a count read from a damaged file or
// a grid can be anything, and the loops over it index fixed arrays.

inline int RoomBound(int num_rooms) {
  return std::clamp(num_rooms, 0, kMaxRooms);
}

inline int OccupantCount(const ScenarioRecord& scenario) {
  return std::clamp<int>(scenario.NumOccupants, 0, kMaxOccupants);
}

// The source slots in use in a room (0 the HVAC system).
inline int SourceSlotCount(const ScenarioRecord& scenario, int room) {
  return std::clamp<int>(scenario.NumSources[room], 0, kMaxSources);
}

// The sinks in use in a room.
inline int SinkSlotCount(const ScenarioRecord& scenario, int room) {
  return std::clamp<int>(scenario.NumSinks[room], 0, kMaxSinks);
}

inline int CycleCount(const SourceRecord& source) {
  return std::clamp<int>(source.NumCycles, 0, kMaxCycles);
}

// The entries of an occupant's activity pattern in use: those before the first after the
// first whose time entering is 0, or all of them. The files do not keep the count.
inline int ActivityEntries(const OccupantRecord& occupant) {
  for (int i = 2; i <= kMaxSchedule; ++i)
    if (occupant.TimeEnter[i] == 0.0F) return i - 1;
  return kMaxSchedule;
}

// The pattern repeats from the occupant's start each time its last entry ends, every 24 h
// where that end is not after 0.
inline float ActivityCycle(const OccupantRecord& occupant) {
  const float cycle = occupant.TimeLeave[ActivityEntries(occupant)];
  return cycle > 0 ? cycle : 24.0F;
}

inline int RoomCount(const BuildingRecord& building) {
  return RoomBound(building.NumRooms);
}
inline int PollutantCount(const ScenarioRecord& scenario) {
  return std::clamp<int>(scenario.NumPollutants, 0, kMaxPollutants);
}

}  // namespace quarn
