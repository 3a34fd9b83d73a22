#pragma once

#include <string>

#include "platform/print_job.h"
#include "platform/printer_service.h"

namespace quarn {

class FlexGrid;
struct BuildingRecord;

// Starts a new page headed at column 20, as every report's page break does.
void PrintPageBreak(PrintJob& job, const std::string& heading);

// Prints a grid as a text table under a title line that carries the date and time once: every
// row, headings included, each cell at the column its grid column's width gives; a cell too
// long for its column, or of several lines, goes on over aligned lines under it. A grid too
// wide for the page is printed in bands of columns, each band a full pass over the rows
// with the first column repeated. The grid is only read: its cursor and selection stay.
void PrintGrid(PrintJob& job, const FlexGrid& grid, const std::string& title, bool end_document);

// A print command of one grid, ending its document, under `head` followed by " Date ", the
// date, " Time " and the time.
void PrintStampedGrid(PrinterService& printer, const FlexGrid& grid, const std::string& head);

// A print command of one section of the input reports, from the top of a page, `lines_per_page`
// lines to a page, ending its document.
using ReportSection = void (*)(PrintJob&, const BuildingRecord&, int&, int);
void PrintReportSection(PrinterService& printer, const BuildingRecord& building,
                        ReportSection section, int lines_per_page);

}  // namespace quarn
