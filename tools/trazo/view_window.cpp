#include "tools/trazo/view_window.hpp"

#include <QStatusBar>

namespace trazo::cli {
namespace {

constexpr int kInitialWidth = 800;
constexpr int kInitialHeight = 600;

}  // namespace

ViewWindow::ViewWindow(const QString& title, const qt::PictureOptions& options)
    : control_(new qt::TrazoWidget(this, options)), status_(new QLabel(this)) {
  setWindowTitle(title);
  setCentralWidget(control_);
  statusBar()->addWidget(status_, 1);
  status_->setText(QStringLiteral("Move the pointer over the drawing"));
  connect(control_, &qt::TrazoWidget::mouseMove, this, &ViewWindow::showMouseMove);
  resize(kInitialWidth, kInitialHeight);
}

void ViewWindow::showMouseMove(qint16 button, qint16 shift, float x, float y) {
  status_->setText(QStringLiteral("MouseMove  Button=%1  Shift=%2  X=%3  Y=%4")
                       .arg(button)
                       .arg(shift)
                       .arg(static_cast<double>(x), 0, 'g', 7)
                       .arg(static_cast<double>(y), 0, 'g', 7));
}

}  // namespace trazo::cli
