#include "tools/trazo/view_picking.hpp"

#include "tools/trazo/entity_description.hpp"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>

#include <algorithm>

namespace trazo::cli {
namespace {

QList<int> merged(const QList<int>& a, const QList<int>& b) {
  QList<int> both;
  both.reserve(a.size() + b.size());
  std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both));
  return both;
}

}  // namespace

ViewPicking::ViewPicking(qt::TrazoWidget& control, const QColor& highlight, QLabel& entityLine, QLabel& selectionLine)
    : QObject(&control),
      control_(control),
      layer_(new HighlightLayer(control, highlight)),
      entityLine_(entityLine),
      selectionLine_(selectionLine) {
  connect(&control, &qt::TrazoWidget::entityHovered, this, &ViewPicking::hovered);
  connect(&control, &qt::TrazoWidget::entityClicked, this, &ViewPicking::clicked);
  control.picture().installEventFilter(this);
}

void ViewPicking::hovered(int index) {
  layer_->setHovered(index);
  const std::optional<Entity> entity = control_.control().store().at(index);
  entityLine_.setText(index > 0 && entity ? describeEntity(index, *entity) : QString());
}

void ViewPicking::clicked(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  if (button != Qt::LeftButton) return;
  if (!(modifiers & (Qt::ControlModifier | Qt::ShiftModifier))) {
    select(index > 0 ? QList<int>{index} : QList<int>{});
    return;
  }
  if (index <= 0) return;
  QList<int> entities = selection_;
  const auto at = std::lower_bound(entities.begin(), entities.end(), index);
  if (at != entities.end() && *at == index) {
    entities.erase(at);
  } else {
    entities.insert(at, index);
  }
  select(entities);
}

void ViewPicking::select(QList<int> entities) {
  std::sort(entities.begin(), entities.end());
  entities.erase(std::unique(entities.begin(), entities.end()), entities.end());
  selection_ = std::move(entities);
  layer_->setSelected(selection_);
  showSelection();
}

bool ViewPicking::clearSelection() {
  if (selection_.isEmpty()) return false;
  select({});
  return true;
}

void ViewPicking::showSelection() {
  selectionLine_.setText(selection_.isEmpty() ? QString() : QStringLiteral("%1 selected").arg(selection_.size()));
}

QString ViewPicking::selectedTags() const {
  QString tags;
  const Store& store = control_.control().store();
  Store::Reader reader(store);
  for (const int index : selection_) {
    const std::optional<Entity> entity = reader.at(index);
    if (entity) tags += QString::fromUtf16(entity->Tag.data(), static_cast<qsizetype>(entity->Tag.size()));
    tags += QLatin1Char('\n');
  }
  return tags;
}

bool ViewPicking::copyTags() const {
  if (selection_.isEmpty()) return false;
  QApplication::clipboard()->setText(selectedTags());
  return true;
}

// A drag with Shift draws its rectangle and, once released, selects what crosses it; a
// release before the drag moved far enough is a click, which the widget reports.
bool ViewPicking::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &control_.picture()) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* press = static_cast<QMouseEvent*>(event);
      if (press->button() == Qt::LeftButton && (press->modifiers() & Qt::ShiftModifier)) {
        banding_ = true;
        adding_ = press->modifiers() & Qt::ControlModifier;
        bandFrom_ = press->position();
      }
      return false;
    }
    case QEvent::MouseMove:
      if (banding_) {
        const QPointF to = static_cast<QMouseEvent*>(event)->position();
        layer_->setBand((to - bandFrom_).manhattanLength() < QApplication::startDragDistance()
                            ? QRect()
                            : QRectF(bandFrom_, to).normalized().toAlignedRect());
      }
      return false;
    case QEvent::MouseButtonRelease: {
      const auto* release = static_cast<QMouseEvent*>(event);
      if (!banding_ || release->button() != Qt::LeftButton) return false;
      banding_ = false;
      layer_->setBand({});
      const QPointF to = release->position();
      if ((to - bandFrom_).manhattanLength() < QApplication::startDragDistance()) return false;  // a click
      const QRectF band =
          QRectF(control_.picture().mapTo(&control_, bandFrom_), control_.picture().mapTo(&control_, to)).normalized();
      const QList<int> crossing = control_.entitiesIn(band, BoxSelection::crossing);
      select(adding_ ? merged(selection_, crossing) : crossing);
      return false;
    }
    default: return false;
  }
}

}  // namespace trazo::cli
