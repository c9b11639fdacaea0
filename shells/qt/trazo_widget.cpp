#include "shells/qt/trazo_widget.hpp"

#include "control/picture_placement.hpp"

namespace trazo::qt {

// The widget's own area, in twips from its top-left.
class TrazoWidget::ClientArea : public trazo::ClientArea {
 public:
  explicit ClientArea(const QWidget& widget) : widget_(widget) {}
  Status scaleLeft(float& value) override {
    value = 0;
    return status::ok;
  }
  Status scaleTop(float& value) override {
    value = 0;
    return status::ok;
  }
  Status scaleWidth(float& value) override {
    value = static_cast<float>(widget_.width() * kTwipsPerInch / widget_.logicalDpiX());
    return status::ok;
  }
  Status scaleHeight(float& value) override {
    value = static_cast<float>(widget_.height() * kTwipsPerInch / widget_.logicalDpiY());
    return status::ok;
  }

 private:
  const QWidget& widget_;
};

class TrazoWidget::SignalSink : public TrazoEvents {
 public:
  explicit SignalSink(TrazoWidget& widget) : widget_(widget) {}
  void MouseMove(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y) override {
    emit widget_.mouseMove(Button, Shift, X, Y);
  }

 private:
  TrazoWidget& widget_;
};

TrazoWidget::TrazoWidget(QWidget* parent, const PictureOptions& options)
    : QWidget(parent), picture_(new PictureBox(control_, options, this)) {
  control_.attachPicture(picture_->surface());
  (void)control_.onInitialize();  // an empty store cannot fail to be made
  DeviceSurface& p1 = picture_->surface();
  (void)p1.setLeft(kInitialPictureLeft);
  (void)p1.setTop(kInitialPictureTop);
  (void)p1.setWidth(kInitialPictureWidth);
  (void)p1.setHeight(kInitialPictureHeight);
  signalSink_ = std::make_unique<SignalSink>(*this);
  control_.connect(*signalSink_);
}

TrazoWidget::~TrazoWidget() {
  control_.onTerminate();
  control_.detachPicture();
  delete picture_;
}

void TrazoWidget::reflash() { picture_->update(); }

void TrazoWidget::setPictureOptions(const PictureOptions& options) {
  picture_->setOptions(options);
  picture_->update();
}

QSize TrazoWidget::sizeHint() const {
  return {static_cast<int>(kProposedWidthTwips * logicalDpiX() / kTwipsPerInch),
          static_cast<int>(kProposedHeightTwips * logicalDpiY() / kTwipsPerInch)};
}

void TrazoWidget::resizeEvent(QResizeEvent*) {
  ClientArea area(*this);
  control_.onResize(area);
}

}  // namespace trazo::qt
