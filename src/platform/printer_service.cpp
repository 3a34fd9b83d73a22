#include "platform/printer_service.h"

#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPrinterInfo>
#include <QWidget>
#include <cmath>

#include "model/prompt.h"
#include "platform/file_dialog.h"
#include "platform/qt_text.h"

namespace quarn {

PrintCommand::PrintCommand(PrinterService& printer) : printer_(printer) {
  if (printer_.commands_++ == 0) printer_.job_.emplace(printer_, printer_.TextFormat());
}

PrintCommand::~PrintCommand() {
  if (--printer_.commands_ > 0) return;
  printer_.job_->EndDocument();
  printer_.job_.reset();
  printer_.FinishCommand();
}

PrintJob& PrintCommand::Job() {
  return *printer_.job_;
}

void PrintCommand::Picture(const PictureDrawing& draw) {
  if (Job().ClaimPage()) printer_.DrawPicture(draw);
}

void PrintCommand::Window(QWidget& window) {
  const QImage image = window.grab().toImage();
  if (Job().ClaimPage()) printer_.DrawImage(image);
}

void SetPicturePage(QPainter& painter, const QRect& printable) {
  painter.setViewport(printable);
  painter.setWindow(0, 0, kPicturePageUnits, kPicturePageUnits);
}

QRect ImageArea(const QSize& image, const QSize& printable) {
  if (image.isEmpty() || printable.isEmpty()) return {};
  QSize size = image.scaled(printable.width(), printable.width() * 1000, Qt::KeepAspectRatio);
  if (size.height() > printable.height()) size = image.scaled(printable, Qt::KeepAspectRatio);
  return QRect(QPoint(0, 0), size);
}

namespace {

QFont PrintFont() {
  QFont font("DejaVu Sans Mono");
  font.setStyleHint(QFont::Monospace);
  font.setPointSizeF(7.5);
  return font;
}

constexpr double kMarginInches = 0.5;

}  // namespace

bool QtPrinterService::PrinterInstalled() {
  return !QPrinterInfo::availablePrinters().isEmpty();
}

QtPrinterService::QtPrinterService(FileDialogService& dialogs, Prompt& prompt, bool use_printer)
    : dialogs_(dialogs),
      prompt_(prompt),
      use_printer_(use_printer),
      printer_(QPrinter::HighResolution) {
  if (use_printer_) {
    const QPrinterInfo chosen = QPrinterInfo::defaultPrinter().isNull()
                                    ? QPrinterInfo::availablePrinters().value(0)
                                    : QPrinterInfo::defaultPrinter();
    if (!chosen.isNull()) printer_.setPrinterName(chosen.printerName());
  } else {
    printer_.setOutputFormat(QPrinter::PdfFormat);
  }
  printer_.setFullPage(false);
  printer_.setPageMargins(QMarginsF(kMarginInches, kMarginInches, kMarginInches, kMarginInches),
                          QPageLayout::Inch);
}

QtPrinterService::~QtPrinterService() {
  if (painter_.isActive()) painter_.end();
}

void QtPrinterService::Setup() {
  dialogs_.PrinterSetup(printer_);
}

QRect QtPrinterService::Printable() const {
  return QRect(QPoint(0, 0), printer_.pageLayout().paintRectPixels(printer_.resolution()).size());
}

PageFormat QtPrinterService::TextFormat() {
  const QFontMetricsF metrics(PrintFont(), &printer_);
  const QRect area = Printable();
  PageFormat format;
  format.chars_per_line =
      static_cast<int>(std::floor(area.width() / metrics.horizontalAdvance('X')));
  format.lines_per_page = static_cast<int>(std::floor(area.height() / metrics.lineSpacing()));
  return format;
}

DateTime QtPrinterService::Now() const {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

bool QtPrinterService::BeginDocument() {
  if (use_printer_) return StartPainter();
  // Every document of one command goes into one file, each from a new page.
  if (painter_.isActive()) {
    printer_.newPage();
    return true;
  }
  FileDialogRequest request;
  request.title = "Print to PDF file";
  request.filter = "PDF file (*.pdf)|*.pdf|All files (*.*)|*.*";
  request.default_extension = "pdf";
  request.initial_name = "*.pdf";
  const std::optional<std::string> name = dialogs_.SaveFileName(request);
  if (!name) return false;
  printer_.setOutputFileName(ToQt(*name));
  return StartPainter();
}

bool QtPrinterService::StartPainter() {
  if (!painter_.begin(&printer_)) {
    Fail(use_printer_
             ? "Error.  The printer could not be started."
             : "Error.  The file " + FromQt(printer_.outputFileName()) + " could not be written.");
    return false;
  }
  painter_.setFont(PrintFont());
  painter_.setPen(Qt::black);
  return true;
}

void QtPrinterService::Fail(const std::string& message) {
  prompt_.Message(message, "", MessageIcon::Exclamation);
}

void QtPrinterService::PrintLine(int line_on_page, std::string_view text) {
  const QFontMetricsF metrics(painter_.font(), &printer_);
  const double baseline = line_on_page * metrics.lineSpacing() + metrics.ascent();
  painter_.drawText(QPointF(0, baseline), ToQt(text));
}

void QtPrinterService::NewPage() {
  printer_.newPage();
}

void QtPrinterService::EndDocument() {
  if (use_printer_) painter_.end();
}

void QtPrinterService::DrawPicture(const PictureDrawing& draw) {
  painter_.save();
  SetPicturePage(painter_, Printable());
  draw(painter_);
  painter_.restore();
}

void QtPrinterService::DrawImage(const QImage& image) {
  painter_.save();
  painter_.setRenderHint(QPainter::SmoothPixmapTransform);
  painter_.drawImage(ImageArea(image.size(), Printable().size()), image);
  painter_.restore();
}

void QtPrinterService::FinishCommand() {
  if (painter_.isActive()) painter_.end();
}

}  // namespace quarn
