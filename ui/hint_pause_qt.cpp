#include "ui/hint_pause_qt.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace quilor::ui {

namespace {

HintShower& Shower() {
  static HintShower shower;
  return shower;
}

// Sees every hint request of the application before its widget does.
class HintPauseFilter : public QObject {
 public:
  explicit HintPauseFilter(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("HintPause")); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    // An item view shows its lines' hints itself, with the platform's pause:
    // the hint of the line under the mouse is shown here instead.
    if (auto* view = qobject_cast<QAbstractItemView*>(widget->parentWidget()); view && view->viewport() == widget) {
      auto* help = static_cast<QHelpEvent*>(event);
      const QModelIndex index = view->indexAt(help->pos());
      const QString text = index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
      if (text.isEmpty()) QToolTip::hideText();
      else ShowHint(help->globalPos(), text, widget);
      return true;
    }
    if (widget->toolTipDuration() < 0) widget->setToolTipDuration(kHintHidePauseMs);
    return false;
  }
};

}  // namespace

void ShowHint(const QPoint& global, const QString& text, QWidget* widget) {
  if (Shower()) Shower()(global, text, widget, kHintHidePauseMs);
  else QToolTip::showText(global, text, widget, QRect(), kHintHidePauseMs);
}

void InstallHintPause() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || app->findChild<QObject*>(QStringLiteral("HintPause"), Qt::FindDirectChildrenOnly)) return;
  app->installEventFilter(new HintPauseFilter(app));
}

void SetHintShower(HintShower shower) { Shower() = std::move(shower); }

}  // namespace quilor::ui
