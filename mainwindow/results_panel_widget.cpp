#include "mainwindow/results_panel_widget.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QHBoxLayout>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSplitter>
#include <QVBoxLayout>

#include "core/messages.h"
#include "ui/view_state.h"
#include "ui/drag_formats.h"
#include "core/options.h"
#include "ui/drag_formats.h"
#include "ui/painter_canvas_qt.h"
#include "ui/texts_qt.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace {
constexpr int kMsgActantBox = 725;
constexpr int kMsgActeBox = 726;

}  // namespace

ResultsListModel::ResultsListModel(const TResultsPanel& panel, QObject* parent)
    : QAbstractListModel(parent), panel_(panel) {}

int ResultsListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(panel_.Items().size());
}

QVariant ResultsListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(panel_.Items().size())) return {};
  if (role == Qt::DisplayRole) {
    // The columns as the list lays them out: the delegate draws them.
    return FromCp1252(panel_.Items()[static_cast<size_t>(index.row())]);
  }
  if (role == Qt::ToolTipRole && panel_.ShowItemsHint()) return FromCp1252(panel_.ItemsHint());
  return {};
}

Qt::ItemFlags ResultsListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractListModel::flags(index);
  if (index.isValid()) f |= Qt::ItemIsDragEnabled;
  return f;
}

QStringList ResultsListModel::mimeTypes() const { return {QString::fromLatin1(kMimeResultItem)}; }

QMimeData* ResultsListModel::mimeData(const QModelIndexList& indexes) const {
  if (indexes.isEmpty()) return nullptr;
  ResultsLineDrag drag;
  drag.resultType = panel_.CurrentResultType;
  drag.classLevel = ClassLevelOfResultType(drag.resultType, ViewState.selection.classLevel);
  drag.name = panel_.ItemName(indexes.front().row());
  if (drag.name.empty()) return nullptr;
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kMimeResultItem), QByteArray::fromStdString(EncodeResultsLineDrag(drag)));
  return data;
}

void ResultsListModel::Reload() {
  beginResetModel();
  endResetModel();
}

ResultsLineDelegate::ResultsLineDelegate(const TResultsPanel& panel, QObject* parent)
    : QStyledItemDelegate(parent), panel_(panel) {}

void ResultsLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  painter->save();
  const bool selected = option.state & QStyle::State_Selected;
  painter->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
  PainterCanvas canvas(*painter);
  Font font;
  font.size = fontSize_;
  font.colour = FromQColor(selected ? option.palette.highlightedText().color() : option.palette.text().color());
  canvas.SetFont(font);
  const QRect& q = option.rect;
  panel_.DrawLine(canvas, Rect{q.left(), q.top(), q.right() + 1, q.bottom() + 1}, index.row(),
                  Options->Switch(opt::LargeFonts));
  painter->restore();
}

QSize ResultsLineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  return QSize(std::max(size.width(), width_), lineHeight_);
}

void ResultsLineDelegate::SetSizes(int fontSize, int lineHeight, int width) {
  fontSize_ = fontSize;
  lineHeight_ = lineHeight;
  width_ = width;
}

namespace {

// The result types' lines, each of the height the lists' fonts ask for.
class TypeLineDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), height_);
  }
  void SetHeight(int height) { height_ = height; }

 private:
  int height_ = 16;
};

// The pixels of a line of text in the results' font on widget's screen.
int LineHeightOf(const QWidget& widget, int points) {
  QFont font(QString::fromStdString(Font{}.name));
  font.setPointSize(points);
  return QFontMetrics(font, &widget).height();
}

// The captions' font: bold, in the window's text colour.
Font HeaderFont(const QWidget& header) {
  Font f;
  f.bold = true;
  f.colour = FromQColor(header.palette().windowText().color());
  return f;
}

// The captions over the columns of the results list, drawn by the panel.
class ResultsHeader : public QWidget {
 public:
  explicit ResultsHeader(const TResultsPanel& panel) : panel_(panel) {
    setObjectName("ResultsHeader");
    setFixedHeight(QFontMetrics(font()).height() + 2);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    PainterCanvas canvas(painter);
    canvas.SetFont(HeaderFont(*this));
    panel_.DrawHeader(canvas, Rect{0, 1, width(), height()});
  }

 private:
  const TResultsPanel& panel_;
};

}  // namespace

void ResultsPanelWidget::LayOutColumns(bool measure) {
  if (measure) {
    // Measured as the lines are drawn: the delegate's font on this screen.
    QImage probe(1, 1, QImage::Format_RGB32);
    probe.setDotsPerMeterX(static_cast<int>(items_->logicalDpiX() / 0.0254));
    probe.setDotsPerMeterY(static_cast<int>(items_->logicalDpiY() / 0.0254));
    QPainter painter(&probe);
    PainterCanvas canvas(painter);
    Font font;
    font.size = fonts_.fontSize;
    canvas.SetFont(font);
    Font captions = HeaderFont(*header_);
    captions.size = fonts_.fontSize;
    panel_.MeasureColumns(canvas, captions);
  }
  panel_.LayOutColumns(std::max(items_->viewport()->width(), fonts_.horizontalExtent));
  header_->setVisible(!panel_.ColumnCaptions().empty());
  header_->update();
  items_->viewport()->update();
}

ResultsPanelWidget::ResultsPanelWidget(TResultsPanel& panel, QWidget* parent)
    : QWidget(parent),
      panel_(panel),
      types_(new QListWidget),
      actant_(new QCheckBox),
      acte_(new QCheckBox),
      items_(new QListView),
      model_(new ResultsListModel(panel, this)),
      header_(new ResultsHeader(panel)) {
  types_->setObjectName("ListBoxFonctions");
  items_->setObjectName("ListBoxModItems");
  actant_->setObjectName("CheckBoxActant");
  acte_->setObjectName("CheckBoxActe");
  actant_->setText(MessageText(kMsgActantBox));
  acte_->setText(MessageText(kMsgActeBox));
  items_->setModel(model_);
  lines_ = new ResultsLineDelegate(panel, items_);
  items_->setItemDelegate(lines_);
  typeLines_ = new TypeLineDelegate(types_);
  types_->setItemDelegate(typeLines_);
  types_->setUniformItemSizes(true);
  items_->setUniformItemSizes(true);
  items_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Lines are dragged to the Scenario editor and the word search; a word of
  // the text page may be dropped here.
  items_->setDragEnabled(true);
  items_->setDragDropMode(QAbstractItemView::DragOnly);
  items_->viewport()->setAcceptDrops(true);
  items_->viewport()->installEventFilter(this);

  auto* boxes = new QHBoxLayout;
  boxes->addWidget(actant_);
  boxes->addWidget(acte_);
  boxes->addStretch();
  auto* lower = new QWidget;
  auto* lowerLayout = new QVBoxLayout(lower);
  lowerLayout->setContentsMargins(0, 0, 0, 0);
  lowerLayout->addLayout(boxes);
  lowerLayout->setSpacing(0);
  lowerLayout->addWidget(header_);
  lowerLayout->addWidget(items_);
  auto* split = new QSplitter(Qt::Vertical);
  split->addWidget(types_);
  split->addWidget(lower);
  split->setStretchFactor(1, 3);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(split);
  SetListFonts(ListFontsFor(Options && Options->Switch(opt::LargeFonts)));

  connect(types_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (syncing_ || row < 0) return;
    panel_.SelectResultType(row);
    SyncItems();
  });
  connect(items_, &QListView::clicked, this, [this](const QModelIndex& index) {
    const int type = panel_.CurrentResultType;
    panel_.ClickLine(index.row());
    // A line may show another result type (the episodes found): both lists follow.
    if (panel_.CurrentResultType != type) Sync();
    emit lineSelected(index.row());
  });
  connect(items_, &QListView::doubleClicked, this,
          [this](const QModelIndex& index) { panel_.DoubleClickLine(index.row()); });
  connect(actant_, &QCheckBox::toggled, this, [this](bool on) {
    if (syncing_) return;
    panel_.SetActantChecked(on);
    Sync();
  });
  connect(acte_, &QCheckBox::toggled, this, [this](bool on) {
    if (syncing_) return;
    panel_.SetActeChecked(on);
    Sync();
  });
  Sync();
}

void ResultsPanelWidget::SetListFonts(const ListFonts& fonts) {
  fonts_ = fonts;
  const int height = ListItemHeight(fonts, LineHeightOf(*items_, fonts.fontSize));
  lines_->SetSizes(fonts.fontSize, height, fonts.horizontalExtent);
  static_cast<TypeLineDelegate*>(typeLines_)->SetHeight(height);
  QFont captions = header_->font();
  captions.setPointSize(fonts.fontSize);
  header_->setFont(captions);
  header_->setFixedHeight(QFontMetrics(captions, header_).height() + 2);
  // The views ask their delegates again.
  types_->doItemsLayout();
  items_->doItemsLayout();
  LayOutColumns();
}

void ResultsPanelWidget::Sync() {
  syncing_ = true;
  types_->clear();
  for (const std::string& line : panel_.ResultTypeTable().Lines()) types_->addItem(FromCp1252(line));
  if (panel_.CurrentResultType >= 0 && panel_.CurrentResultType < types_->count())
    types_->setCurrentRow(panel_.CurrentResultType);
  syncing_ = false;
  SyncItems();
}

void ResultsPanelWidget::SyncItems() {
  syncing_ = true;
  actant_->setChecked(panel_.ActantChecked());
  acte_->setChecked(panel_.ActeChecked());
  actant_->setEnabled(panel_.ActorsEnabled());
  acte_->setEnabled(panel_.ActorsEnabled());
  model_->Reload();
  LayOutColumns();
  // The line the panel selected (a key's, a graph's class), at the top.
  if (const int line = panel_.SelectedLine(); line >= 0 && line < model_->rowCount()) {
    const QModelIndex index = model_->index(line, 0);
    items_->setCurrentIndex(index);
    items_->scrollTo(index, QAbstractItemView::PositionAtTop);
  }
  syncing_ = false;
  emit changed();
}

bool ResultsPanelWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == items_->viewport()) {
    const QEvent::Type type = event->type();
    // A new width places the measured columns again; the lines are not read.
    if (type == QEvent::Resize) LayOutColumns(false);
    if (type == QEvent::DragEnter || type == QEvent::DragMove) {
      auto* e = static_cast<QDragMoveEvent*>(event);
      if (e->mimeData()->hasFormat(QString::fromLatin1(kMimeTextWord)) && !panel_.Items().empty()) {
        e->acceptProposedAction();
        return true;
      }
    } else if (type == QEvent::MouseButtonRelease) {
      // A click in the tree's margin of the Scenario list reduces or expands it.
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->position().x() < 16 && panel_.CurrentResultType == kTypeScenario && !panel_.Items().empty())
        emit treeMarginClicked();
    } else if (type == QEvent::Drop) {
      auto* e = static_cast<QDropEvent*>(event);
      if (e->mimeData()->hasFormat(QString::fromLatin1(kMimeTextWord))) {
        e->acceptProposedAction();
        emit textWordDropped();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace quilor::ui
