#include "tools/trazo/qt_application.hpp"

#include <QByteArray>
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

}  // namespace trazo::cli
