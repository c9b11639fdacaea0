// The window of trazo view: the control filling it, and a status line with the values of
// the latest MouseMove event.
#pragma once

#include "shells/qt/trazo_widget.hpp"

#include <QLabel>
#include <QMainWindow>

namespace trazo::cli {

class ViewWindow : public QMainWindow {
 public:
  ViewWindow(const QString& title, const qt::PictureOptions& options);

  qt::TrazoWidget& control() { return *control_; }
  QString statusText() const { return status_->text(); }

 private:
  void showMouseMove(qint16 button, qint16 shift, float x, float y);

  qt::TrazoWidget* control_;
  QLabel* status_;
};

}  // namespace trazo::cli
