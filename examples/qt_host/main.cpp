// A host that places the Trazo control in its window, draws a little, and shows where the
// pointer is through the control's MouseMove event, and where a click lands.
//   qt_host [--exit-after MILLISECONDS]
#include <trazo/qt/trazo_widget.hpp>

#include <QApplication>
#include <QString>
#include <QTimer>

int main(int argc, char** argv) {
  constexpr double kQuarterTurn = 1.5707963267948966;
  QApplication app(argc, argv);
  trazo::qt::PictureOptions options;
  options.texts = true;  // the texts' characters, not only their boxes
  trazo::qt::TrazoWidget control(nullptr, options);
  // The members with Qt's types; each returns the control's status.
  bool drawn = control.addBox(0, 0, 100, 60, 4, 0, QStringLiteral("frame")) == trazo::status::ok;
  drawn &= control.addLine(0, 0, 100, 60, 3, 2, QStringLiteral("diagonal")) == trazo::status::ok;
  drawn &= control.addCircle(50, 30, 20, 6, 1, QStringLiteral("ring")) == trazo::status::ok;
  drawn &= control.addCircle2(50, 30, 25, 0, kQuarterTurn, 2, 0, QStringLiteral("quarter")) == trazo::status::ok;
  // The control's own members take UTF-16 strings.
  drawn &= control.control().AddText(5, 5, 6, 0, 5, u"Trazo", u"label") == trazo::status::ok;
  if (!drawn) return 1;
  control.reflash();

  // The event's X carries the vertical position and its Y the horizontal one.
  QObject::connect(&control, &trazo::qt::TrazoWidget::mouseMove, &control,
                   [&control](qint16, qint16, float x, float y) {
                     control.setWindowTitle(QStringLiteral("Trazo host: horizontal %1, vertical %2").arg(y).arg(x));
                   });
  QObject::connect(&control, &trazo::qt::TrazoWidget::pointerPressed, &control,
                   [&control](QPointF at, Qt::MouseButton, Qt::KeyboardModifiers) {
                     control.setWindowTitle(QStringLiteral("Trazo host: pressed at %1, %2").arg(at.x()).arg(at.y()));
                   });
  control.setWindowTitle(QStringLiteral("Trazo host"));
  control.resize(640, 400);
  control.show();

  const QStringList args = app.arguments();
  const qsizetype at = args.indexOf(QStringLiteral("--exit-after"));
  if (at >= 0 && at + 1 < args.size()) QTimer::singleShot(args[at + 1].toInt(), &app, &QApplication::quit);
  return app.exec();
}
