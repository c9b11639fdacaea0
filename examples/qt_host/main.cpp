// A host that places the Trazo control in its window, draws a little, and shows where the
// pointer is through the control's MouseMove event.
//   qt_host [--exit-after MILLISECONDS]
#include <shells/qt/trazo_widget.hpp>

#include <QApplication>
#include <QString>
#include <QTimer>

#include <numbers>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  trazo::qt::TrazoWidget control;
  trazo::Trazo& drawing = control.control();
  (void)drawing.AddBox(0, 0, 100, 60, 4, 0, u"frame");
  (void)drawing.AddLine(0, 0, 100, 60, 3, 2, u"diagonal");
  (void)drawing.AddCircle(50, 30, 20, 6, 1, u"ring");
  (void)drawing.AddCircle2(50, 30, 25, 0, std::numbers::pi / 2, 2, 0, u"quarter");
  (void)drawing.AddText(5, 5, 6, 0, 5, u"Trazo", u"label");
  control.reflash();

  // The event's X carries the vertical position and its Y the horizontal one.
  QObject::connect(&control, &trazo::qt::TrazoWidget::mouseMove, &control,
                   [&control](qint16, qint16, float x, float y) {
                     control.setWindowTitle(QStringLiteral("Trazo host: X=%1 Y=%2").arg(x).arg(y));
                   });
  control.setWindowTitle(QStringLiteral("Trazo host"));
  control.resize(640, 400);
  control.show();

  const QStringList args = app.arguments();
  const qsizetype at = args.indexOf(QStringLiteral("--exit-after"));
  if (at >= 0 && at + 1 < args.size()) QTimer::singleShot(args[at + 1].toInt(), &app, &QApplication::quit);
  return app.exec();
}
