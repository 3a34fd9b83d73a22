#include "ui/grids/source_grids.h"

#include <gtest/gtest.h>

#include "common/scripted_prompt.h"
#include "platform/flex_grid.h"

namespace quarn {
namespace {

using testing::ScriptedPrompt;

ProgramState ThreeVocs() {
  ProgramState st;
  st.Building.NumRooms = 2;
  st.Building.RoomList[2].Name = "Garage";
  ScenarioRecord& s = st.Building.Scenario;
  s.PollutantClass = "VOC";
  s.NumPollutants = 3;
  const char* names[3] = {"TVOC", "hexane", "octane"};
  for (int p = 0; p < 3; ++p) {
    s.Pollutants[p].Name = names[p];
    s.Pollutants[p].C0 = 100.0f * static_cast<float>(p + 1);
  }
  return st;
}

TEST(SourceParameterGrid, RtModelShowsOneColumnHeadedAlpha) {
  ProgramState st = ThreeVocs();
  ScriptedPrompt prompt;
  SourceRecord src;
  src.Model = 4;
  src.Params[0][1] = 0.75f;
  src.Params[1][1] = 9;
  FlexGrid grid;
  SetupSourceParameterGrid(grid, src, st);
  EXPECT_EQ(grid.TextMatrix(0, 0), "Pollutant");
  EXPECT_EQ(grid.TextMatrix(0, 1), "Alpha");
  for (int c = 2; c <= 7; ++c) EXPECT_EQ(grid.TextMatrix(0, c), "--");
  EXPECT_EQ(grid.TextMatrix(0, 8), "");  // title row 8 is empty for every model
  EXPECT_EQ(grid.TextMatrix(3, 0), "octane");
  LoadSourceParameterGrid(grid, src, st.Building.Scenario);
  EXPECT_EQ(grid.Cols(), 2);
  EXPECT_EQ(grid.TextMatrix(2, 1), "0.75");
  EXPECT_TRUE(prompt.shown.empty());
}

// The note comes once a VBX source is shown whole: its model in the schedule and only its
// own parameter columns, none headed "--".
TEST(SourceParameterGrid, TvocNoteForModel7ComesWithItsGrids) {
  ProgramState st = ThreeVocs();
  FlexGrid schedule, parameters;
  SourceWindowValues window;
  for (int model : {1, 7, 8}) {
    ScriptedPrompt prompt;
    std::string behind;
    prompt.while_message = [&] {
      behind = schedule.TextMatrix(1, 0);
      for (int c = 1; c < parameters.Cols(); ++c) behind += "|" + parameters.TextMatrix(0, c);
    };
    SourceRecord src;
    src.Model = static_cast<int16_t>(model);
    FillSourceGrids(src, 2, 1, schedule, parameters, window, st, prompt);
    NoteSourceModel(src, st, prompt);
    EXPECT_EQ(prompt.Count("message"), model == 7 ? 1u : 0u);
    if (model == 7) {
      EXPECT_EQ(prompt.shown[0].text,
                "Note that for VBX and petroleum solvent spill the first pollutant is TVOC");
      EXPECT_EQ(behind, "VBX|C0|k|mg/g product");
    }
  }
}

TEST(SourceParameterGrid, VbxShowsComponentContentAndTakesC0) {
  ProgramState st = ThreeVocs();
  SourceRecord src;
  src.Model = 7;
  src.RawParam3[1] = 12.345f;
  src.Params[0][1] = 1;  // replaced by the pollutant's C0
  src.Params[1][1] = 0.5f;
  FlexGrid grid;
  LoadSourceParameterGrid(grid, src, st.Building.Scenario);
  EXPECT_EQ(grid.Cols(), 4);
  EXPECT_EQ(src.Params[0][1], 200);
  EXPECT_EQ(grid.TextMatrix(2, 1), "200");
  EXPECT_EQ(grid.TextMatrix(2, 2), "0.5");
  EXPECT_EQ(grid.TextMatrix(2, 3), "12.35");  // two decimals
  EXPECT_EQ(grid.Number(2, 3), static_cast<double>(12.345f));
}

TEST(SourceParameterGrid, UnknownModelHasEmptyTitlesAndElevenColumns) {
  ProgramState st = ThreeVocs();
  ScriptedPrompt prompt;
  SourceRecord src;
  src.Model = 12;
  src.Params[10][0] = 3;
  FlexGrid grid;
  SetupSourceParameterGrid(grid, src, st);
  for (int c = 1; c <= 8; ++c) EXPECT_EQ(grid.TextMatrix(0, c), "");
  LoadSourceParameterGrid(grid, src, st.Building.Scenario);
  EXPECT_EQ(grid.Cols(), 12);
  EXPECT_EQ(grid.TextMatrix(1, 11), "3");
}

TEST(SourceScheduleRow, CyclesRepeatCodeAndRefusalAboveFive) {
  ProgramState st = ThreeVocs();
  ScriptedPrompt prompt;
  FlexGrid grid;
  SetupSourceScheduleGrid(grid);
  EXPECT_EQ(grid.TextMatrix(0, 2), "Size ");
  EXPECT_EQ(grid.TextMatrix(0, 13), "Time on");
  EXPECT_EQ(grid.TextMatrix(0, 14), "Time off");
  SourceRecord src;
  src.Name = "paint";
  src.Size = 4;
  src.NumCycles = 0;
  src.CycleRepeats = "d";
  ASSERT_TRUE(LoadSourceScheduleRow(grid, src, "Paint1", prompt));
  EXPECT_EQ(src.CycleRepeats.str(), "D");
  EXPECT_EQ(grid.TextMatrix(1, 4), "D");
  EXPECT_EQ(grid.TextMatrix(1, 0), "Paint1");
  for (int c = 5; c < 15; ++c) EXPECT_EQ(grid.TextMatrix(1, c), "") << c;

  src.NumCycles = 2;
  src.TimeOn[2] = 8.5f;
  src.TimeOff[2] = 9;
  ASSERT_TRUE(LoadSourceScheduleRow(grid, src, "Paint1", prompt));
  EXPECT_EQ(grid.TextMatrix(1, 7), "8.5");
  SourceRecord back;
  ASSERT_TRUE(ReadSourceScheduleRow(grid, back, prompt));
  EXPECT_EQ(back.Name, "paint");
  EXPECT_EQ(back.NumCycles, 2);
  EXPECT_EQ(back.TimeOff[2], 9);
  EXPECT_EQ(back.CycleRepeats.str(), "D");

  grid.SetTextMatrix(1, 3, "6");
  grid.SetTextMatrix(1, 1, "changed");
  EXPECT_FALSE(ReadSourceScheduleRow(grid, back, prompt));
  EXPECT_EQ(back.Name, "paint");
  EXPECT_EQ(back.NumCycles, 2);
  src.NumCycles = 6;
  EXPECT_FALSE(LoadSourceScheduleRow(grid, src, "Paint1", prompt));
  EXPECT_EQ(prompt.Count("message"), 2u);
}

TEST(ShowRoomSources, EmissionUnitOptionsByMode) {
  for (bool particles : {true, false}) {
    ProgramState st = ThreeVocs();
    ScriptedPrompt prompt;
    if (particles) st.Building.Scenario.PollutantClass = "PM2.5";
    st.Building.Scenario.Sources[2][1].EmissionUnits = 2;
    st.Building.Scenario.Sources[2][1].Model = 2;
    FlexGrid schedule, parameters;
    SourceWindowValues window;
    const SourceRecord work = ShowRoomSources(2, schedule, parameters, window, st, prompt);
    EXPECT_EQ(window.room_number, " 2");
    EXPECT_EQ(window.room_name, "Garage");
    EXPECT_EQ(window.source_number, "1");
    EXPECT_EQ(window.source_model, 2);
    EXPECT_EQ(window.number_per_hour, particles);       // "Number/h"
    EXPECT_EQ(window.milligrams_per_hour, !particles);  // "mg/h"
    EXPECT_EQ(window.number_per_hour_enabled, particles);
    EXPECT_EQ(work.EmissionUnits, particles ? 2 : 0);
    EXPECT_EQ(st.Building.Scenario.Sources[2][1].EmissionUnits, 2);  // a copy was changed
    EXPECT_EQ(schedule.TextMatrix(1, 0), "Paint1");
    EXPECT_EQ(parameters.TextMatrix(0, 2), "k1");
  }
}

TEST(ReadSourceGrids, ColumnThreeAndTotalMassByModel) {
  const struct {
    int model;
    float raw3, param3, per_mole, work1, scaled;
  } cases[] = {
      {7, 50, 100, 0.001f, 0, 8},      // mg/g × g applied; scaled by the size 4
      {8, 50, 0.1f, 1e-06f, 0.1f, 2},  // mg/g × mg spilled / 1000, the running mass; not scaled
      {9, 50, 50, 0.0005f, 0, 2},      // mg spilled as entered
      {2, 9, 0, 0, 0, 8},              // column 3 not shown: 0; the content kept
  };
  for (const auto& c : cases) {
    ProgramState st = ThreeVocs();
    ScenarioRecord& s = st.Building.Scenario;
    s.Pollutants[0].MolWt = 100;  // the others have none: their moles stay as stored
    SourceRecord& stored = s.Sources[2][1];
    stored.Model = static_cast<int16_t>(c.model);
    stored.Size = 4;
    stored.TotalMass = 2;
    stored.RawParam3 = {9, 9, 9};
    stored.ParamPerMole = {0.7f, 0.7f, 0.7f};
    for (auto& row : stored.Params) row = {9, 9, 9};
    stored.Params[1][0] = 0.123456789f;
    ScriptedPrompt prompt;
    FlexGrid schedule, parameters;
    SourceWindowValues window;
    SourceRecord work = stored;
    FillSourceGrids(work, 2, 1, schedule, parameters, window, st, prompt);
    parameters.SetTextMatrix(1, 3, "50");
    const std::optional<SourceRecord> back =
        ReadSourceGrids(schedule, parameters, window, stored, s, prompt);
    ASSERT_TRUE(back.has_value()) << c.model;
    EXPECT_FLOAT_EQ(back->RawParam3[0], c.raw3) << c.model;
    EXPECT_FLOAT_EQ(back->Params[2][0], c.param3) << c.model;
    EXPECT_FLOAT_EQ(back->ParamPerMole[0], c.per_mole) << c.model;
    EXPECT_FLOAT_EQ(back->ParamPerMole[1], 0.7f) << c.model;
    EXPECT_FLOAT_EQ(LiquidMass(*back)[0], c.work1) << c.model;
    EXPECT_FLOAT_EQ(back->ScaledMass, c.scaled) << c.model;
    EXPECT_EQ(back->Params[1][0], 0.123456789f) << "an unchanged cell reads back exact";
    // Columns the model does not show read back as 0.
    for (int k = 3; k <= 7; ++k) EXPECT_EQ(back->Params[k][0], 0) << k;
  }
}

TEST(ReadSourceGrids, UntouchedMassBoxKeepsWhatItsMaskRounds) {
  ProgramState st = ThreeVocs();
  ScriptedPrompt prompt;
  SourceRecord& stored = st.Building.Scenario.Sources[1][2];
  stored.Model = 7;
  stored.TotalMass = 0.004f;
  FlexGrid schedule, parameters;
  SourceWindowValues window;
  SourceRecord work = stored;
  FillSourceGrids(work, 1, 2, schedule, parameters, window, st, prompt);
  EXPECT_EQ(window.total_mass_text, "0");
  auto back = ReadSourceGrids(schedule, parameters, window, stored, st.Building.Scenario, prompt);
  EXPECT_EQ(back->TotalMass, 0.004f);
  schedule.SetTextMatrix(1, 3, "6");
  EXPECT_FALSE(ReadSourceGrids(schedule, parameters, window, stored, st.Building.Scenario, prompt));
}

// The fit of the first pollutant makes a spill an "R0k" source: nothing of the spill is
// left to be read as R0, k, R2, ... of any pollutant, after a question naming those the user
// gave parameters; No keeps the spill whole.
TEST(StoreFitInScenario, TheFitAloneReplacesTheFormerModel) {
  ProgramState st = ThreeVocs();
  st.CurrentRoom = 2;
  st.CurrentSource = 3;
  SourceRecord& stored = st.Building.Scenario.Sources[2][3];
  stored.Model = 9;
  stored.Name = "spill";
  for (auto& row : stored.Params) row = {500, 7};
  const SourceRecord spill = stored;
  SourceRecord fit;
  fit.Params[0][0] = 12.5f;
  fit.Params[1][0] = 0.125f;
  ScriptedPrompt prompt;
  prompt.answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(StoreFitInScenario(fit, st, prompt));
  EXPECT_TRUE(stored == spill);
  ASSERT_TRUE(StoreFitInScenario(fit, st, prompt));
  EXPECT_EQ(prompt.shown[0].text,
            "The fit makes Source 3 (spill) an \"R0k\" source, with R0 and k for TVOC alone.  "
            "Its \"Single spill\" parameters of hexane have no meaning under \"R0k\" and "
            "are set to 0.  Do you wish to store the fit?");
  EXPECT_EQ(prompt.shown[0].default_answer, Answer::No);
  EXPECT_EQ(stored.Model, 1);
  EXPECT_EQ(stored.Name, "spill");
  EXPECT_EQ(stored.Params[0][0], 12.5f);
  EXPECT_EQ(stored.Params[1][0], 0.125f);
  for (int i = 0; i < static_cast<int>(stored.Params.size()); ++i) {
    EXPECT_EQ(stored.Params[i][1], 0) << i;
    EXPECT_EQ(stored.Params[i][0], i == 0 ? 12.5f : i == 1 ? 0.125f : 0) << i;
  }
  // An "R0k" source keeps the other pollutants' R0 and k, and nothing is asked.
  stored.Params[0][1] = 4;
  EXPECT_TRUE(StoreFitInScenario(fit, st, prompt));
  EXPECT_EQ(stored.Params[0][1], 4);
  EXPECT_EQ(prompt.shown.size(), 2U);
  st.CurrentSource = 0;
  EXPECT_FALSE(StoreFitInScenario(fit, st, prompt));
}

TEST(SourceComposition, MixtureMolecularWeightAndVapourPressure) {
  ProgramState st = ThreeVocs();
  ScriptedPrompt prompt;
  SourceRecord src;
  src.Model = 9;  // "Single spill": the component amounts in mg spilled
  CompositionMgPerGram(src) = {0, 100, 300};
  st.Building.Scenario.Pollutants[1].MolWt = 100;
  st.Building.Scenario.Pollutants[2].MolWt = 150;
  st.Building.Scenario.Pollutants[1].C0 = 10;
  st.Building.Scenario.Pollutants[2].C0 = 40;
  FlexGrid grid;
  CompositionLabels labels;
  SetupSourceCompositionGrid(grid, labels, src, 2, 3, st.Building.Scenario);
  EXPECT_EQ(labels.lblcurrentroom, "2");
  EXPECT_EQ(labels.lblcurrentsource, "3");
  EXPECT_EQ(grid.TextMatrix(1, 1), "TVOC");
  EXPECT_EQ(grid.TextMatrix(3, 4), "300.");
  ASSERT_TRUE(CalculateSourceComposition(grid, prompt));
  // Moles per g: 100/100 + 300/150 = 3; 400 mg/g / 3 = 133.33; (10·1 + 40·2) / 3 = 30.
  EXPECT_EQ(grid.TextMatrix(1, 2), "133.33");
  EXPECT_EQ(grid.TextMatrix(1, 3), "30.");
  SaveSourceCompositionGrid(grid, src, st.Building.Scenario);
  EXPECT_FLOAT_EQ(st.Building.Scenario.Pollutants[0].MolWt, 400.0f / 3);
  EXPECT_FLOAT_EQ(st.Building.Scenario.Pollutants[0].C0, 30);
  EXPECT_EQ(CompositionMgPerGram(src)[2], 300);

  FlexGrid parameters;
  parameters.SetRows(4);
  parameters.SetCols(4);
  LoadSourceCompositionGrid(parameters, src, "2000", st.Building.Scenario);
  EXPECT_EQ(parameters.TextMatrix(1, 1), "30.");
  EXPECT_EQ(parameters.TextMatrix(3, 3), "600.");  // 2 × 300 mg/g
}

TEST(SourceComposition, ComponentsWithoutMolecularWeightAreRefusedByName) {
  ScriptedPrompt prompt;
  FlexGrid grid;
  grid.SetRows(4);
  grid.SetCols(5);
  grid.SetTextMatrix(1, 2, "77");
  grid.SetTextMatrix(2, 1, "xylene");
  grid.SetTextMatrix(2, 2, "0");
  grid.SetTextMatrix(2, 4, "500");
  grid.SetTextMatrix(3, 2, "100");
  grid.SetTextMatrix(3, 4, "50");
  EXPECT_FALSE(CalculateSourceComposition(grid, prompt));
  EXPECT_EQ(prompt.shown.back().text,
            "Error.  xylene has no molecular weight above 0.  The mixture was not calculated.");
  EXPECT_EQ(grid.TextMatrix(1, 2), "77");
  // Without a mass it is no part of the mixture.
  grid.SetTextMatrix(2, 4, "0");
  ASSERT_TRUE(CalculateSourceComposition(grid, prompt));
  EXPECT_EQ(grid.TextMatrix(1, 2), "100.");
  grid.SetTextMatrix(3, 4, "0");
  EXPECT_FALSE(CalculateSourceComposition(grid, prompt));
  EXPECT_EQ(prompt.Count("message"), 2u);
  EXPECT_EQ(grid.TextMatrix(1, 2), "100.");
}

}  // namespace
}  // namespace quarn
