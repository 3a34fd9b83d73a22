#include "ui/main/building_menu.h"

#include <array>

namespace quarn {
namespace {

// The menus of the building window, top to bottom, as the users' help files number them.
constexpr std::array<MenuEntry, 64> kMenu{{
    {0, "&File", "file", 100},
    {1, "&New Building", "FileNew", 101},
    {1, "&Open Building", "fileopen", 102},
    {1, "&Save Building", "filesave", 102},
    {1, "-", "sep", 0},
    {1, "Save &Results", "SAveR", 105},
    {2, "Save &Concentration", "FileConcen", 106},
    {2, "Save &Exposure", "FileExposure", 107},
    {2, "Save &Average Exposure", "saveaverage", 109},
    {2, "Save all &Results", "FileResults", 108},
    {1, "-", "sepx", 0},
    {1, "&Print...", "FilePrint", 110},
    {2, "&Printer setup", "PrintSetup", 111},
    {2, "&Building data", "PrintBuilding", 112},
    {2, "&Scenario data", "PrintScenario", 113},
    {2, "&All data", "PrintAll", 114},
    {1, "E&xit", "fileexit", 999},
    {0, "&Rooms", "Rooms", 200},
    {0, "&Scenarios", "Scenarios", 300},
    {0, "&Calculate", "calculate", 400},
    {1, "&Air flows", "CalculateAirFlows", 401},
    {1, "&Concentration", "CalculateConcentration", 402},
    {1, "&Log normal fit", "calculatelognormal", 0},
    {1, "&Exposure..", "CalculateExposure", 403},
    {2, "&Inhalation exposure", "CalculateInhalation", 403},
    {2, "&Non-inhalation exposure", "CalculateNone", 404},
    {2, "&Average exposure", "averageexposure", 405},
    {1, "&Risk", "CalculateRisk", 410},
    {0, "&Display", "display", 500},
    {1, "&Summary", "DisplaySummary", 501},
    {1, "&Concentration", "DisplayConcentration", 502},
    {1, "&Exposure...", "DisplayExposure", 503},
    {2, "&Instantaneous exposure", "DisplayInst", 504},
    {2, "&Average exposure", "DisplayAverage", 506},
    {2, "C&umulative exposure", "DisplyaCumulative", 505},
    {1, "&Risk...", "DisplayRisk", 510},
    {2, "&Full risk display", "RiskFull", 512},
    {1, "Set display &units ...", "displayunits", 0},
    {2, "&mg/m\xB3", "mg", 0},
    {2, "&\xB5g/m3", "micrograms", 0},
    {2, "&ppm ", "ppm", 0},
    {2, "&#/cc", "numberpercc", 0},
    {2, "#/&m\xB3", "numberpercubicmeter", 0},
    {0, "&Plot", "plot", 600},
    {1, "&Concentration", "PlotConcentration", 601},
    {2, "&All rooms single pollutant", "plotallrooms", 0},
    {2, "All &pollutants single room", "plotallpollutants", 0},
    {1, "C&umulative exposure", "PlotCumulative", 602},
    {1, "&Instantaneous exposure", "PlotInst", 603},
    {1, "&Bar chart of irritant risk", "PlotBarirr", 611},
    {1, "Bar chart of c&umulative exposure", "BarCum", 612},
    {0, "&Options", "options", 700},
    {1, "&Calculate options", "OptionsCalculate", 702},
    {1, "&Set max concentration", "Optionsetmax", 803},
    {1, "&File options and data separator", "Filelocations", 804},
    {0, "&Window", "Window", 990},
    {1, "&Cascade", "WindowsCascade", 991},
    {1, "&Tile", "WindowsTile", 992},
    {1, "&List windows", "WindowsList", 992},
    {0, "&Help", "help", 950},
    {1, "&Recent changes", "helprecent", 904},
    {1, "&Contents", "HelpContents", 951},
    {1, "&PM Changes", "HelpPM", 920},
    {1, "&About", "HelpAbout", 980},
}};

}  // namespace

std::span<const MenuEntry> BuildingMenuTable() {
  return kMenu;
}

}  // namespace quarn
