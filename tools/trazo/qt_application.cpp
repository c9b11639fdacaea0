#include "tools/trazo/qt_application.hpp"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace trazo::cli {

bool displayAvailable() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

void useOffscreenPlatformUnlessChosen() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
}

void keepQtNotesQuiet() {
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
  });
}

std::unique_ptr<QGuiApplication> offscreenApplication() {
  useOffscreenPlatformUnlessChosen();
  keepQtNotesQuiet();
  // Qt keeps the argument count and list for the application's life.
  static int argc = 1;
  static char program[] = "trazo";
  static char* argv[] = {program, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace trazo::cli
