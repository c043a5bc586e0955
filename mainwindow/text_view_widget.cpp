#include "mainwindow/text_view_widget.h"

#include <QApplication>
#include <QDrag>
#include <QHBoxLayout>
#include <QMimeData>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

#include "core/messages.h"
#include "engine/word_list.h"
#include "mainwindow/drag_formats.h"
#include "mainwindow/main_window_port.h"
#include "mainwindow/painter_canvas_qt.h"
#include "mainwindow/texts_qt.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace {
constexpr int kMsgExtract = 6002;
constexpr int kMsgText = 6003;
constexpr int kMsgMovingToWord = 6014;

}  // namespace

bool ScrollCodeOfAction(int action, ScrollCode& code) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = ScrollCode::kLineUp; return true;
    case QAbstractSlider::SliderSingleStepAdd: code = ScrollCode::kLineDown; return true;
    case QAbstractSlider::SliderPageStepSub: code = ScrollCode::kPageUp; return true;
    case QAbstractSlider::SliderPageStepAdd: code = ScrollCode::kPageDown; return true;
    case QAbstractSlider::SliderToMinimum: code = ScrollCode::kTop; return true;
    case QAbstractSlider::SliderToMaximum: code = ScrollCode::kBottom; return true;
    case QAbstractSlider::SliderMove: code = ScrollCode::kTrack; return true;
    default: return false;
  }
}

TextImageWidget::TextImageWidget(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(50, 30);
}

void TextImageWidget::SetImage(const QImage& image) {
  image_ = image;
  update();
}

void TextImageWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (!image_.isNull()) painter.drawImage(0, 0, image_);
}

void TextImageWidget::resizeEvent(QResizeEvent*) { emit resized(); }
void TextImageWidget::mouseMoveEvent(QMouseEvent* e) { emit mouseMoved(e->position().toPoint().x(), e->position().toPoint().y()); }
void TextImageWidget::mousePressEvent(QMouseEvent* e) { emit clicked(e->position().toPoint().x(), e->position().toPoint().y()); }
void TextImageWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  emit doubleClicked(e->position().toPoint().x(), e->position().toPoint().y());
}

TextViewWidget::TextViewWidget(QWidget* parent)
    : QWidget(parent), image_(new TextImageWidget), scrollBar_(new QScrollBar(Qt::Vertical)), caption_(new QLabel) {
  image_->setObjectName("ImageTexte");
  scrollBar_->setObjectName("ScrollBarTexte");
  caption_->setObjectName("LabelTexte");
  caption_->setText(MessageText(kMsgText));
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(image_, 1);
  row->addWidget(scrollBar_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(caption_);
  layout->addLayout(row, 1);
  scrollBar_->setRange(0, 0);

  connect(image_, &TextImageWidget::resized, this, [this] { ForcerAffichage(); });
  connect(image_, &TextImageWidget::doubleClicked, this, [this](int x, int y) {
    if (page_.WordAt(x, y)) emit wordActivated(ViewState.HitWordPosition, ViewState.HitItemKind);
  });
  connect(image_, &TextImageWidget::clicked, this, [this](int x, int y) {
    dragStart_ = QPoint(x, y);
    dragWord_ = page_.WordAt(x, y) && ViewState.HitItemKind == 0 ? ViewState.HitWordPosition : 0;
  });
  connect(image_, &TextImageWidget::mouseMoved, this, [this](int x, int y) {
    if (dragWord_ > 0 && (QGuiApplication::mouseButtons() & Qt::LeftButton) &&
        (QPoint(x, y) - dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
      StartWordDrag();
      return;
    }
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) dragWord_ = 0;
    page_.WordAt(x, y);
  });
  connect(scrollBar_, &QScrollBar::actionTriggered, this, [this](int action) {
    ScrollCode code;
    if (ScrollCodeOfAction(action, code)) Scroll(code, scrollBar_->sliderPosition());
  });
  connect(scrollBar_, &QScrollBar::sliderReleased, this, [this] { Scroll(ScrollCode::kPosition, scrollBar_->value()); });
}

void TextViewWidget::Scroll(ScrollCode code, int32_t position) {
  MainWindowPort* main = ViewMainWindow();
  if (!main || !main->TextLoaded() || main->AnalysisRunning()) return;
  if (code == ScrollCode::kTrack) {
    if (!ViewState.ExtractMode)
      emit statusText(MessageText(kMsgMovingToWord) + QString::number(position));
    return;
  }
  if (!ScrollTextPage(page_, code, position)) return;
  ForcerAffichage();
  PosCurseur(ViewState.CurrentWordPosition);
}

void TextViewWidget::StartWordDrag() {
  ViewState.DragWordPosition = dragWord_;
  dragWord_ = 0;
  auto* data = new QMimeData;
  data->setData(kMimeTextWord, QByteArray::number(ViewState.DragWordPosition));
  auto* drag = new QDrag(image_);
  drag->setMimeData(data);
  drag->exec(Qt::CopyAction);
}

void TextViewWidget::PosCurseur(int32_t position) {
  const QSignalBlocker block(scrollBar_);
  scrollBar_->setValue(position);
  ViewState.LastCursorPosition = position;
}

void TextViewWidget::ForcerAffichage() {
  const QSize size = image_->size();
  const qreal ratio = devicePixelRatioF();
  QImage image((size * ratio), QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::white);
  MainWindowPort* main = ViewMainWindow();
  if (main && main->TextLoaded() && TextWords.Count() > 0) {
    {
      QPainter painter(&image);
      PainterCanvas canvas(painter);
      page_.DrawPage(canvas, Rect{0, 0, size.width(), size.height()});
    }
    ViewState.CurrentWordPosition = page_.FirstWordPosition();
    scrollBar_->setRange(0, std::max<int32_t>(TextWords.HighestPosition(), 0));
    scrollBar_->setPageStep(std::max(page_.WordsDrawn(), 1));
    PosCurseur(ViewState.CurrentWordPosition);
  }
  caption_->setText(MessageText(ViewState.ExtractMode ? kMsgExtract : kMsgText));
  image_->SetImage(image);
}

}  // namespace quilor::ui
