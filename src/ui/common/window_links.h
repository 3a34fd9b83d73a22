#pragma once

#include <string>
#include <vector>

namespace quarn {

class FlexGrid;
class Prompt;
struct SourceRecord;

// What a window asks of an open window of another folder without knowing its class: the
// window that answers derives from the link and is found with AppWindows().FindAs<Link>().

// The source window, for the chamber data window that fits one of its sources.
class SourceFitLink {
 public:
  virtual bool Shows(int room, int slot) const = 0;
  // The source's name as the window shows it, typed but not yet transferred included.
  virtual std::string ShownSourceName() = 0;
  virtual void StoreFit(const SourceRecord& fit) = 0;

 protected:
  ~SourceFitLink() = default;
};

// The pollutant window, for the VOC database's Transfer: it takes the marked rows of the
// database grid into its own grid, to be stored by its own Transfer.
class VocRowsLink {
 public:
  virtual void TakeVocRows(const FlexGrid& voc_grid, const std::vector<int>& rows,
                           Prompt& prompt) = 0;

 protected:
  ~VocRowsLink() = default;
};

// The scenario editor, for the windows it opens that return to one of its rows.
class ScenarioEditorLink {
 public:
  virtual FlexGrid& ScenarioSS() = 0;

 protected:
  ~ScenarioEditorLink() = default;
};

// The chamber data window, which the emission-factor plot brings back to the front.
class ChamberDataLink {
 public:
  virtual void BringBack() = 0;

 protected:
  ~ChamberDataLink() = default;
};

}  // namespace quarn
