#include "mainwindow/graph_panel_widget.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "core/options.h"
#include "engine/selection.h"
#include "mainwindow/explain_pages.h"
#include "mainwindow/graph_state.h"
#include "ui/hint_pause_qt.h"
#include "ui/texts_qt.h"
#include "ui/painter_canvas_qt.h"
#include "ui/view_state.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace {
// The popup's graph items, areas first.
constexpr const char* kKindItems[5] = {"PopupGrapheAires", "PopupGrapheEtoile", "PopupGrapheDensite",
                                       "PopupGrapheRafales", "PopupGrapheActeurs"};
}  // namespace

namespace {

constexpr int kMinPanelHeight = 10;

// The captions of the graph kinds 1..5.
constexpr int kKindCaptions[5] = {537, 514, 538, 564, 1245};

MouseState StateOf(const QMouseEvent* e, bool released) {
  MouseState s;
  const Qt::MouseButtons buttons = released ? Qt::MouseButtons(e->button()) : e->buttons();
  s.left = buttons & Qt::LeftButton;
  s.right = buttons & Qt::RightButton;
  s.shift = e->modifiers() & Qt::ShiftModifier;
  s.ctrl = e->modifiers() & Qt::ControlModifier;
  return s;
}

}  // namespace

// The picture: paints the panel's image and hands the mouse over.
class GraphPicture : public QWidget {
 public:
  explicit GraphPicture(GraphPanel& panel) : QWidget(&panel), panel_(panel) {
    setMouseTracking(true);
    setMinimumHeight(kMinPanelHeight);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (panel_.image_.isNull()) painter.fillRect(rect(), palette().window());
    else painter.drawImage(0, 0, panel_.image_);
  }
  void resizeEvent(QResizeEvent*) override { panel_.Refresh(kModeRedraw); }
  void mouseMoveEvent(QMouseEvent* e) override {
    const QPoint p = e->position().toPoint();
    panel_.mouse_.MouseMove(p.x(), p.y(), StateOf(e, false));
    const QString hint = QString::fromStdString(Cp1252ToUtf8(ViewState.graph.HintBuffer));
    setToolTip(hint);
    if (!hint.isEmpty() && isVisible()) ShowHint(e->globalPosition().toPoint(), hint, this);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    const QPoint p = e->position().toPoint();
    panel_.mouse_.MouseUp(p.x(), p.y(), StateOf(e, true));
  }
  void contextMenuEvent(QContextMenuEvent* e) override { panel_.popup_->popup(e->globalPos()); }
  void wheelEvent(QWheelEvent* e) override {
    const int delta = e->angleDelta().y();
    if (delta == 0) return;
    emit panel_.wheeled(delta);
    e->accept();
  }

 private:
  GraphPanel& panel_;
};

GraphPanel::GraphPanel(GraphSource& source, MainWindowPort& port, QWidget* parent)
    : QWidget(parent), source_(source), port_(port), graph_(source), mouse_(graph_, source, port, [this](int32_t mode) {
        Refresh(mode);
      }) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* bar = new QHBoxLayout;
  popup_ = new QMenu(this);
  for (int kind = 1; kind <= 5; ++kind) {
    const QString caption = CapitalisedMessage(kKindCaptions[kind - 1]);
    auto* button = new QToolButton(this);
    button->setText(caption);
    button->setToolTip(caption);
    button->setCheckable(true);
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this, [this, kind] { ChooseKind(kind, true); });
    bar->addWidget(button);
    buttons_[static_cast<size_t>(kind - 1)] = button;
  }
  // The popup lists the kinds in the order areas, star, distribution, bursts,
  // actors, each by its graph label ("Graph: Star"). The item of the graph
  // drawn is checked when the popup shows.
  for (int kind = 1; kind <= 5; ++kind) {
    QAction* item = popup_->addAction(FromCp1252(GraphLabel(kKindCaptions[kind - 1])), this,
                                      [this, kind] { ChooseKind(kind, false); });
    item->setObjectName(QString::fromLatin1(kKindItems[kind - 1]));
    item->setCheckable(true);
  }
  connect(popup_, &QMenu::aboutToShow, this, [this] {
    const int current = Options->Get(opt::GraphKind);
    const QList<QAction*> items = popup_->actions();
    for (int kind = 1; kind <= 5 && kind <= items.size(); ++kind) items[kind - 1]->setChecked(kind == current);
  });
  bar->addStretch(1);
  layout->addLayout(bar);
  picture_ = new GraphPicture(*this);
  layout->addWidget(picture_, 1);
  UpdateButtons();
}

GraphPanel::~GraphPanel() = default;

QWidget* GraphPanel::Picture() const { return picture_; }

void GraphPanel::UpdateButtons(int kind) {
  if (kind < 1 || kind > 5) kind = Options->Get(opt::GraphKind);
  for (int k = 1; k <= 5; ++k) buttons_[static_cast<size_t>(k - 1)]->setChecked(k == kind);
}

void GraphPanel::ChooseKind(int kind, bool fromToolButton) {
  Options->Set(opt::GraphKind, static_cast<uint16_t>(kind));
  UpdateButtons();
  if (!fromToolButton) {
    if (ViewState.GraphShown) port_.RazAffichageEtGraphe();
    return;
  }
  if (!port_.TextLoaded()) return;
  if (Options->Switch(opt::ShowGraph) && ViewState.GraphShown) {
    port_.RazAffichageEtGraphe();
    return;
  }
  Options->Set(opt::ShowGraph, 1);
  ViewState.GraphShown = true;
  emit graphRequested();
}

void GraphPanel::Refresh(int32_t mode) {
  UpdateButtons();
  const QSize size = picture_->size();
  if (!ViewState.GraphShown || size.isEmpty()) {
    image_ = QImage();
    picture_->update();
    emit drawn(0);
    return;
  }
  image_ = QImage(size, QImage::Format_RGB32);
  image_.fill(Qt::white);
  {
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing);
    PainterCanvas canvas(painter);
    graph_.SetFixedScale(true);
    graph_.Draw(canvas, {0, 0, size.width(), size.height()}, mode, ViewState.selection.firstTerm);
  }
  // The graph drawn may be another kind than the one asked for (a word
  // category's areas are its star): its button is the one checked.
  UpdateButtons(graph_.DrawnKind());
  picture_->update();
  emit drawn(graph_.DrawnKind());
}

}  // namespace quilor::ui
