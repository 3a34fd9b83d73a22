#include "ui/main/splash_form.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include "platform/qt_text.h"
#include "quarn_version.h"

namespace quarn {
namespace {

// The program's mark: a house with a puff of air.
QPixmap Logo() {
  QPixmap pixmap(96, 96);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(0, 96, 160));
  p.setPen(Qt::NoPen);
  p.drawRect(18, 44, 60, 44);
  p.setBrush(QColor(160, 40, 40));
  p.drawPolygon(QPolygon({QPoint(10, 48), QPoint(48, 12), QPoint(86, 48)}));
  p.setBrush(QColor(200, 230, 250));
  p.drawEllipse(QPoint(40, 64), 10, 10);
  p.drawEllipse(QPoint(56, 70), 8, 8);
  return pixmap;
}

QLabel* Text(const char* name, const QString& text, QWidget* parent, int point_size = 0) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  if (point_size > 0) {
    QFont f = label->font();
    f.setPointSize(point_size);
    f.setBold(true);
    label->setFont(f);
  }
  return label;
}

}  // namespace

SplashForm::SplashForm(MainContext& context, QWidget* parent)
    // A plain window, not a splash-screen one: window managers give no keyboard focus to
    // splash screens, and a key is one of the ways on.
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ctx_(context) {
  setObjectName("frmSplash");
  setWindowTitle(ToQt(ctx_.identity.description));
  auto* outer = new QGridLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  frame_ = new QFrame(this);
  frame_->setObjectName("Frame1");
  frame_->setFrameShape(QFrame::Box);
  outer->addWidget(frame_);
  auto* grid = new QGridLayout(frame_);
  logo_ = new QLabel(frame_);
  logo_->setObjectName("imgLogo");
  logo_->setPixmap(Logo());
  grid->addWidget(logo_, 0, 0, 4, 1, Qt::AlignTop);
  grid->addWidget(Text("lblCompany", "The Quarn contributors", frame_), 0, 1);
  company_product_ = Text("lblCompanyProduct", "Quarn indoor air quality project", frame_);
  grid->addWidget(company_product_, 1, 1);
  // The product's name; the longer description goes on the release line below.
  product_name_ = Text("lblProductName", ToQt(kProgramTitle), frame_, 16);
  product_name_->setWordWrap(true);
  grid->addWidget(product_name_, 2, 1);
  grid->addWidget(Text("lblPlatform", "For Linux", frame_), 3, 1);
  grid->addWidget(Text("lblVersion", ToQt("Version " + VersionNumberText(ctx_.identity)), frame_),
                  4, 1);
  grid->addWidget(Text("lblreleasedate", ToQt(ctx_.identity.description), frame_), 5, 1);
  grid->addWidget(Text("lblWarning", "Press any key to start.", frame_), 6, 1);
  // Every label is watched: the named ones start the program, and a click on any other
  // label is kept from reaching the frame beneath it, which would start it too.
  frame_->installEventFilter(this);
  for (QLabel* label : frame_->findChildren<QLabel*>()) label->installEventFilter(this);
  setFocusPolicy(Qt::StrongFocus);
  resize(TwipsToPixels(7400), TwipsToPixels(4000));
}

void SplashForm::keyPressEvent(QKeyEvent* event) {
  // Any key that produces a character.
  if (!event->text().isEmpty() && started_ == nullptr) {
    Start(SplashExit::Key);
    return;
  }
  QWidget::keyPressEvent(event);
}

bool SplashForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && started_ == nullptr) {
    if (watched == logo_) {
      Start(SplashExit::Logo);
      return true;
    }
    if (watched == frame_ || watched == company_product_ || watched == product_name_) {
      Start(SplashExit::Frame);
      return true;
    }
  }
  const bool mouse = event->type() == QEvent::MouseButtonPress ||
                     event->type() == QEvent::MouseButtonRelease ||
                     event->type() == QEvent::MouseButtonDblClick;
  if (mouse && watched != frame_ && qobject_cast<QLabel*>(watched) != nullptr) return true;
  return QWidget::eventFilter(watched, event);
}

void SplashForm::Start(SplashExit how) {
  hide();
  started_ = StartFromSplash(ctx_, how);
  close();
}

}  // namespace quarn
