#include "ui/grids/hvac_grids.h"

#include <QColor>

#include "platform/flex_grid.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/grids/grid_cells.h"

namespace quarn {

namespace {

constexpr const char* kTotalPattern = "##,###0.0#";
constexpr const char* kOpeningMakeUpPattern = "###,#0.0#";
constexpr const char* kOpeningBalancePattern = "##0.0#";
constexpr const char* kBaseMakeUpPattern = "#,###0.0#";

void LayOut(FlexGrid& grid, const HVACGridFrame& f) {
  grid.SetRows(f.RowCount());
  grid.SetCols(6);
  grid.SetFixedRows(f.Header() + 1);
  static const char* const kHeaders[] = {"Room #", "Room ID", "Supply\nm\xB3/h", "Return\nm\xB3/h",
                                         "Exhaust\nm\xB3/h"};
  for (int c = 0; c < 5; ++c) grid.SetTextMatrix(f.Header(), f.Key() + c, kHeaders[c]);
  // Both layouts label their totals row in column 1: the name column of the base grid,
  // the number column of the managed one. The fill then writes "--" and "Totals".
  grid.SetTextMatrix(f.Totals(), 1, "Total");
  grid.SetTextMatrix(f.Balance(), f.Key(), "Makeup");
}

struct FlowValues {
  float outdoor_supply;  // the Outdoors row: air the system sends outdoors
  float outdoor_return;  // outdoor air the system takes in
  const PerRoom<float>* supply;
  const PerRoom<float>* ret;
  const PerRoom<float>* exhaust;
};

void FillValues(FlexGrid& grid, const BuildingRecord& building, const HVACGridFrame& f,
                const FlowValues& v) {
  grid.SetCols(f.Exhaust() + 1);
  grid.SetTextMatrix(f.Outdoors(), f.Name(), "Outdoors");
  SetSingleCell(grid, f.Outdoors(), f.Supply(), v.outdoor_supply);
  SetSingleCell(grid, f.Outdoors(), f.Return(), v.outdoor_return);
  grid.SetTextMatrix(f.Outdoors(), f.Exhaust(), "----");
  for (int r = 1; r <= f.rooms; ++r) {
    const int row = f.RoomRow(r);
    grid.SetTextMatrix(row, f.Key(), FormatSingle(static_cast<float>(r)));
    grid.SetTextMatrix(row, f.Name(), building.RoomList[r].Name);
    SetSingleCell(grid, row, f.Supply(), (*v.supply)[r]);
    SetSingleCell(grid, row, f.Return(), (*v.ret)[r]);
    SetSingleCell(grid, row, f.Exhaust(), (*v.exhaust)[r]);
  }
  grid.SetTextMatrix(f.Totals(), f.Key(), "--");
  grid.SetTextMatrix(f.Totals(), f.Name(), "Totals");
}

void PaintYellow(FlexGrid& grid) {
  const QColor yellow(255, 255, 0);
  for (int r = grid.FixedRows(); r < grid.Rows(); ++r)
    for (int c = grid.FixedCols(); c < grid.Cols(); ++c) grid.SetCellBackColorAt(r, c, yellow);
}

struct ReadBack {
  float* outdoor_supply;
  float* outdoor_return;
  PerRoom<float>* supply;
  PerRoom<float>* ret;
  PerRoom<float>* exhaust;
};

// The Outdoors row and the room rows into the record; gives the supply total (outdoor
// row plus rooms) of the values stored.
float ReadValues(const FlexGrid& grid, const HVACGridFrame& f, const ReadBack& out) {
  *out.outdoor_supply = CellSingle(grid, f.Outdoors(), f.Supply());
  *out.outdoor_return = CellSingle(grid, f.Outdoors(), f.Return());
  float total = *out.outdoor_supply;
  for (int r = 1; r <= f.rooms; ++r) {
    const int row = f.RoomRow(r);
    (*out.supply)[r] = CellSingle(grid, row, f.Supply());
    (*out.ret)[r] = CellSingle(grid, row, f.Return());
    (*out.exhaust)[r] = CellSingle(grid, row, f.Exhaust());
    total += (*out.supply)[r];
  }
  return total;
}

// Rooms the grid shows that the record can hold: a grid shorter than the building leaves
// the rooms it lacks alone.
HVACGridFrame ReadFrame(const FlexGrid& grid, HVACGridLayout layout,
                        const BuildingRecord& building) {
  HVACGridFrame f = HVACFrameOfGrid(grid, layout);
  if (f.rooms > RoomCount(building)) f.rooms = RoomCount(building);
  return f;
}

}  // namespace

HVACGridFrame HVACFrameOf(HVACGridLayout layout, int rooms) {
  return {layout == HVACGridLayout::Managed ? 1 : 0, rooms};
}

HVACGridFrame HVACFrameOfGrid(const FlexGrid& grid, HVACGridLayout layout) {
  const int off = layout == HVACGridLayout::Managed ? 1 : 0;
  const int rooms = grid.Rows() - 4 - off;
  return {off, rooms < 0 ? 0 : rooms};
}

float BoxValue(const NumberBox& shown, const std::string& text) {
  if (text == shown.text) return shown.value;
  // The boxes show plain numbers, never grouping, so a comma ends the number.
  return ToSingle(LeadingNumber(text));
}

// --- Base flows --------------------------------------------------------------------------

void SetupHVACRoomFlowGrid(FlexGrid& grid, const BuildingRecord& building) {
  const HVACGridFrame f = HVACFrameOf(HVACGridLayout::Base, RoomCount(building));
  LayOut(grid, f);
  grid.SetRowCol(f.Outdoors(), f.Supply());
}

void FillHVACFlowGrid(FlexGrid& grid, const BuildingRecord& building) {
  const ScenarioRecord& s = building.Scenario;
  const HVACGridFrame f = HVACFrameOf(HVACGridLayout::Base, RoomCount(building));
  FillValues(
      grid, building, f,
      {s.HVACOutdoorAirTotal, s.HVACMakeUpTotal, &s.HVACSupply, &s.HVACReturn, &s.HVACExhaust});
  BaseFlowTotals(grid);
  PaintYellow(grid);
  grid.SetRowCol(f.Outdoors(), f.Supply());
}

void ReadHVACFlowGrid(const FlexGrid& grid, BuildingRecord& building) {
  ScenarioRecord& s = building.Scenario;
  const HVACGridFrame f = ReadFrame(grid, HVACGridLayout::Base, building);
  // The total is the sum of what was stored, not the text of the totals cell: that cell
  // shows thousands separators ("1,200.0") and may be stale.
  s.HVACTotalFlow = ReadValues(
      grid, f,
      {&s.HVACOutdoorAirTotal, &s.HVACMakeUpTotal, &s.HVACSupply, &s.HVACReturn, &s.HVACExhaust});
}

// --- Managed flows -----------------------------------------------------------------------

void SetupManagedFlowGrid(FlexGrid& grid, const BuildingRecord& building) {
  const HVACGridFrame f = HVACFrameOf(HVACGridLayout::Managed, RoomCount(building));
  LayOut(grid, f);
  grid.SetRowCol(f.Outdoors(), f.Supply());
}

ManagedTimes FillManagedFlowGrid(FlexGrid& grid, const BuildingRecord& building) {
  const ScenarioRecord& s = building.Scenario;
  const HVACGridFrame f = HVACFrameOf(HVACGridLayout::Managed, RoomCount(building));
  FillValues(grid, building, f,
             {ManagedExhaustTotal(s), ManagedIntakeTotal(s), &s.ManagedSupply, &s.ManagedReturn,
              &s.ManagedToOutdoors});
  AddFlowBalanceColumns(grid, HVACGridLayout::Managed);
  PaintYellow(grid);
  grid.SetRowCol(f.Outdoors(), f.Supply());
  return {{FormatSingle(ManagedPeriodStart(s)), ManagedPeriodStart(s)},
          {FormatSingle(ManagedPeriodEnd(s)), ManagedPeriodEnd(s)}};
}

void ReadManagedFlowGrid(const FlexGrid& grid, const ManagedTimes& shown,
                         const std::string& start_text, const std::string& stop_text,
                         BuildingRecord& building) {
  ScenarioRecord& s = building.Scenario;
  ManagedPeriodStart(s) = BoxValue(shown.start, start_text);
  ManagedPeriodEnd(s) = BoxValue(shown.stop, stop_text);
  const HVACGridFrame f = ReadFrame(grid, HVACGridLayout::Managed, building);
  s.HVACTotalFlow = ReadValues(grid, f,
                               {&ManagedExhaustTotal(s), &ManagedIntakeTotal(s), &s.ManagedSupply,
                                &s.ManagedReturn, &s.ManagedToOutdoors});
}

// --- Totals ------------------------------------------------------------------------------

void AddFlowBalanceColumns(FlexGrid& grid, HVACGridLayout layout) {
  const HVACGridFrame f = HVACFrameOfGrid(grid, layout);
  double supply = 0;
  double ret = 0;
  for (int row = f.Outdoors(); row <= f.RoomRow(f.rooms); ++row) {
    supply += CellValue(grid, row, f.Supply());
    ret += CellValue(grid, row, f.Return());
  }
  // Air leaving the building: what the system sends outdoors plus every room's exhaust.
  double leaving = CellValue(grid, f.Outdoors(), f.Supply());
  for (int r = 1; r <= f.rooms; ++r) leaving += CellValue(grid, f.RoomRow(r), f.Exhaust());
  const double make_up = CellValue(grid, f.Outdoors(), f.Return());

  SetPatternCell(grid, f.Totals(), f.Supply(), supply, kTotalPattern);
  SetPatternCell(grid, f.Totals(), f.Return(), ret, kTotalPattern);
  SetPatternCell(grid, f.Totals(), f.Exhaust(), leaving, kTotalPattern);
  grid.SetTextMatrix(f.Balance(), f.Name(), "Make up");
  SetPatternCell(grid, f.Balance(), f.Supply(), make_up, kOpeningMakeUpPattern);
  grid.SetTextMatrix(f.Balance(), f.Return(), "Out bal");
  SetPatternCell(grid, f.Balance(), f.Exhaust(), make_up - leaving, kOpeningBalancePattern);
}

void BaseFlowTotals(FlexGrid& grid) {
  const HVACGridFrame f = HVACFrameOfGrid(grid, HVACGridLayout::Base);
  const double outdoor_air = CellValue(grid, f.Outdoors(), f.Supply());
  const double make_up = CellValue(grid, f.Outdoors(), f.Return());
  double supply = 0;
  double ret = make_up;  // the system's return side takes in the outdoor air too
  double exhaust = 0;
  for (int r = 1; r <= f.rooms; ++r) {
    supply += CellValue(grid, f.RoomRow(r), f.Supply());
    ret += CellValue(grid, f.RoomRow(r), f.Return());
    exhaust += CellValue(grid, f.RoomRow(r), f.Exhaust());
  }
  SetSingleCell(grid, f.Totals(), f.Supply(), ToSingle(supply));
  SetSingleCell(grid, f.Totals(), f.Return(), ToSingle(ret));
  grid.SetTextMatrix(f.Totals(), f.Exhaust(), "");
  grid.SetTextMatrix(f.Balance(), f.Key(), "Makeup");
  SetPatternCell(grid, f.Balance(), f.Name(), make_up, kBaseMakeUpPattern);
  grid.SetTextMatrix(f.Balance(), f.Supply(), "Outdoor Bal");
  // Outdoor air taken in must match the air the system and the rooms send outdoors.
  SetPatternCell(grid, f.Balance(), f.Return(), make_up - outdoor_air - exhaust,
                 kOpeningBalancePattern);
  grid.SetTextMatrix(f.Balance(), f.Exhaust(), "");
}

void FormatFlowGrid(FlexGrid& grid, HVACGridLayout layout) {
  // The base grid's rows are the same after an edit as at the opening, so that an edit
  // that changes nothing changes no total.
  if (layout == HVACGridLayout::Base) return BaseFlowTotals(grid);
  const HVACGridFrame f = HVACFrameOfGrid(grid, layout);
  double supply = 0;
  double ret = 0;
  double exhaust = 0;  // the Outdoors row's "----" counts 0
  for (int row = f.Outdoors(); row <= f.RoomRow(f.rooms); ++row) {
    supply += CellValue(grid, row, f.Supply());
    ret += CellValue(grid, row, f.Return());
    exhaust += CellValue(grid, row, f.Exhaust());
  }
  const double outdoor_air = CellValue(grid, f.Outdoors(), f.Supply());
  const double make_up = CellValue(grid, f.Outdoors(), f.Return());
  // Outdoor air taken in must match the air the system and the rooms send outdoors.
  const double balance = make_up - outdoor_air - exhaust;

  SetPatternCell(grid, f.Totals(), f.Supply(), supply, kTotalPattern);
  SetPatternCell(grid, f.Totals(), f.Return(), ret, kTotalPattern);
  SetPatternCell(grid, f.Totals(), f.Exhaust(), exhaust, kTotalPattern);
  grid.SetTextMatrix(f.Balance(), f.Key(), "Makeup");
  SetPatternCell(grid, f.Balance(), f.Name(), make_up, kTotalPattern);
  grid.SetTextMatrix(f.Balance(), f.Supply(), "Out Bal");
  SetPatternCell(grid, f.Balance(), f.Return(), balance, kTotalPattern);
  // The opening balance stood one cell further right; left there it would no longer
  // follow the edits.
  grid.SetTextMatrix(f.Balance(), f.Exhaust(), "");
}

}  // namespace quarn
