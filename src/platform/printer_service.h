#pragma once

#include <QPainter>
#include <QPrinter>
#include <functional>
#include <optional>
#include <string>

#include "platform/print_job.h"

class QImage;
class QWidget;

namespace quarn {

class FileDialogService;
class Prompt;

// A picture page spans this many units each way, whatever the paper: drawings are placed
// in these units and land in the same part of every page.
inline constexpr int kPicturePageUnits = 31100;

// Draws a picture into a page whose window spans kPicturePageUnits each way.
using PictureDrawing = std::function<void(QPainter&)>;

// The printer as the windows reach it. Output goes through a PrintCommand, so that each
// command's pages form one printout; between commands the service only keeps the set-up.
class PrinterService : public PageDevice {
 public:
  // Printer, paper and orientation, chosen by the user; they hold until the program ends.
  virtual void Setup() = 0;
  // The text page of the printer as it is set up now.
  virtual PageFormat TextFormat() = 0;

 protected:
  friend class PrintCommand;
  // Draws onto the page that the job has just claimed.
  virtual void DrawPicture(const PictureDrawing& draw) = 0;
  virtual void DrawImage(const QImage& image) = 0;
  // After the last output of a command, its documents ended.
  virtual void FinishCommand() {}

 private:
  std::optional<PrintJob> job_;
  int commands_ = 0;
};

// One print command: its documents go out as one printout (one PDF file, one question for
// its name). A command started while another one runs prints into that one's job. An
// open document is ended when the command ends.
class PrintCommand {
 public:
  explicit PrintCommand(PrinterService& printer);
  ~PrintCommand();
  PrintCommand(const PrintCommand&) = delete;
  PrintCommand& operator=(const PrintCommand&) = delete;

  PrintJob& Job();
  // A page of its own for a drawing made in picture-page units.
  void Picture(const PictureDrawing& draw);
  // The window's image on a page of its own, as wide as the printable area (smaller when
  // it would pass the bottom), its aspect kept.
  void Window(QWidget& window);

 private:
  PrinterService& printer_;
};

// Sets the painter's window to the picture-page units over the printable area.
void SetPicturePage(QPainter& painter, const QRect& printable);
// Where an image goes on a printable area: its full width, aspect kept, smaller when that
// would pass the bottom; at the top left.
QRect ImageArea(const QSize& image, const QSize& printable);

// The printer of the running program: the system's default printer, or, when no printer
// is installed, a PDF file whose name each command asks once, at its first output. Text is
// DejaVu Sans Mono 7.5 pt within half-inch margins, so that a portrait A4 or Letter page
// holds at least 110 characters by 80 lines.
class QtPrinterService : public PrinterService {
 public:
  // Whether the system has a printer to print to.
  static bool PrinterInstalled();

  QtPrinterService(FileDialogService& dialogs, Prompt& prompt,
                   bool use_printer = PrinterInstalled());
  ~QtPrinterService() override;

  void Setup() override;
  PageFormat TextFormat() override;
  DateTime Now() const override;
  bool BeginDocument() override;
  void PrintLine(int line_on_page, std::string_view text) override;
  void NewPage() override;
  void EndDocument() override;

 protected:
  void DrawPicture(const PictureDrawing& draw) override;
  void DrawImage(const QImage& image) override;
  void FinishCommand() override;

 private:
  bool StartPainter();
  void Fail(const std::string& message);
  QRect Printable() const;

  FileDialogService& dialogs_;
  Prompt& prompt_;
  bool use_printer_;
  QPrinter printer_;
  QPainter painter_;
};

}  // namespace quarn
