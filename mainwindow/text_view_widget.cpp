#include "mainwindow/text_view_widget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QHBoxLayout>
#include <QMimeData>
#include <QToolTip>
#include <QWheelEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

#include "core/messages.h"
#include "engine/word_list.h"
#include "ui/hint_pause_qt.h"
#include "ui/drag_formats.h"
#include "ui/view_state.h"
#include "ui/main_window_port.h"
#include "ui/painter_canvas_qt.h"
#include "ui/texts_qt.h"
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
void TextImageWidget::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (pressed_ && (e->buttons() & Qt::LeftButton) &&
      (p - pressPoint_).manhattanLength() >= QApplication::startDragDistance()) {
    pressed_ = false;
    emit dragRequested();
    return;
  }
  emit mouseMoved(p.x(), p.y());
}

void TextImageWidget::mousePressEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (e->button() == Qt::LeftButton) {
    pressed_ = true;
    pressPoint_ = p;
  }
  emit clicked(p.x(), p.y());
}

void TextImageWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  const QPoint p = e->position().toPoint();
  emit released(p.x(), p.y(), e->globalPosition().toPoint());
}

void TextImageWidget::contextMenuEvent(QContextMenuEvent* e) {
  emit contextMenuAt(e->pos().x(), e->pos().y(), e->globalPos());
}

void TextImageWidget::wheelEvent(QWheelEvent* e) {
  const int delta = e->angleDelta().y();
  if (delta == 0) return;
  emit wheeled(delta);
  e->accept();
}
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
    if (const auto hit = HitAt(x, y)) emit wordActivated(hit->position, hit->kind);
  });
  connect(image_, &TextImageWidget::mouseMoved, this, [this](int x, int y) {
    if (TextMouse* mouse = Mouse()) {
      mouse->MouseMove(x, y, false);
      image_->setToolTip(FromCp1252(mouse->Hint()));
    }
  });
  // A press starts a drag of the word under the pointer; a release without
  // moving ends it where it began (the word is explained, or a document
  // header opens the context).
  connect(image_, &TextImageWidget::clicked, this, [this](int x, int y) {
    TextMouse* mouse = Mouse();
    if (!mouse) return;
    HitAt(x, y);
    mouse->StartDrag();
    scrollBar_->setFocus();
  });
  connect(image_, &TextImageWidget::released, this, [this](int, int, QPoint global) { EndDrag(global); });
  connect(image_, &TextImageWidget::dragRequested, this, [this] {
    if (!Mouse()) return;
    if (ViewState.HitItemKind == 0 && ViewState.DragWordPosition > 0) {
      auto* drag = new QDrag(image_);
      auto* data = new QMimeData;
      data->setData(QString::fromLatin1(kMimeTextWord),
                    QByteArray::fromStdString(EncodeTextWordDrag(ViewState.DragWordPosition)));
      drag->setMimeData(data);
      drag->exec(Qt::CopyAction);
    }
    EndDrag(QCursor::pos());
  });
  connect(image_, &TextImageWidget::contextMenuAt, this, [this](int x, int y, QPoint global) {
    HitAt(x, y);
    emit popupRequested(global);
  });
  connect(image_, &TextImageWidget::wheeled, this, [this](int delta) { Wheel(delta); });
  connect(scrollBar_, &QScrollBar::actionTriggered, this, [this](int action) {
    ScrollCode code;
    if (ScrollCodeOfAction(action, code)) Scroll(code, scrollBar_->sliderPosition());
  });
  connect(scrollBar_, &QScrollBar::sliderReleased, this,
          [this] { Scroll(ScrollCode::kPosition, scrollBar_->value()); });
}

void TextViewWidget::Scroll(ScrollCode code, int32_t position) {
  MainWindowPort* main = ViewMainWindow();
  if (!main || !main->TextLoaded() || main->AnalysisRunning()) return;
  if (code == ScrollCode::kTrack) {
    if (!ViewState.ExtractMode) emit statusText(MessageText(kMsgMovingToWord) + QString::number(position));
    return;
  }
  if (!ScrollTextPage(page_, code, position)) return;
  ForcerAffichage();
  PosCurseur(ViewState.CurrentWordPosition);
}

std::optional<TPageItem> TextViewWidget::HitAt(int x, int y) {
  const std::optional<TPageItem> hit = page_.WordAt(x, y);
  KeepHit(ViewState, hit);
  return hit;
}

TextMouse* TextViewWidget::Mouse() {
  MainWindowPort* main = ViewMainWindow();
  if (!main) return nullptr;
  if (!mouse_ || mousePort_ != main) {
    mousePort_ = main;
    mouse_ = std::make_unique<TextMouse>(
        *main, [this](int x, int y) { return HitAt(x, y); },
        [this](const std::string& text) { emit placeText(FromCp1252(text)); });
  }
  return mouse_.get();
}

void TextViewWidget::EndDrag(QPoint global) {
  TextMouse* mouse = Mouse();
  if (!mouse || !mousePort_->TextLoaded()) return;
  std::string hint;
  if (mouse->EndDrag(hint)) {
    image_->setToolTip(FromCp1252(hint));
    ShowHint(global, FromCp1252(hint), image_);
  } else {
    QToolTip::hideText();
    emit wordActivated(ViewState.HitWordPosition, ViewState.HitItemKind);
  }
}

void TextViewWidget::Wheel(int delta) {
  MainWindowPort* main = ViewMainWindow();
  if (!main || !main->TextLoaded() || main->AnalysisRunning() || main->Printing() || image_->height() <= 12 ||
      TextWords.Count() == 0)
    return;
  const int32_t last = std::max<int32_t>(TextWords.HighestPosition(), 1);
  const int32_t position = std::clamp<int32_t>(scrollBar_->value() - delta, 1, last);
  scrollBar_->setValue(position);
  Scroll(ScrollCode::kPosition, position);
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
