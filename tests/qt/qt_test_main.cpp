// GoogleTest main for the Qt shell's tests. The application object is made when the tests
// run, not when they are listed, so listing works without a display. Without a display
// the widget tests run on Qt's off-screen platform; CI runs them under Xvfb.
#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtApplication : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "trazo_qt_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new QtApplication);
  return RUN_ALL_TESTS();
}
