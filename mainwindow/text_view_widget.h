// The main window's text view: its page (TExtraitDuTexte) drawn into a
// cached image, the scroll bar over the words (ScrollBarTexte) and the
// caption ("Text" or "Extract"). Painting only copies the image; the image
// is drawn again by ForcerAffichage (after every display change) and on a
// resize.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <memory>

#include "mainwindow/text_mouse.h"
#include "mainwindow/text_page_layout.h"

class QLabel;
class QScrollBar;

namespace quilor::ui {

// The area the page is drawn in: it shows the cached image and reports the mouse.
class TextImageWidget : public QWidget {
  Q_OBJECT
 public:
  explicit TextImageWidget(QWidget* parent = nullptr);
  void SetImage(const QImage& image);
  const QImage& Image() const { return image_; }

 signals:
  void resized();
  void mouseMoved(int x, int y);
  void clicked(int x, int y);
  void doubleClicked(int x, int y);
  // The left button went up without a drag (a click).
  void released(int x, int y, QPoint global);
  // The pointer moved far enough with the left button down.
  void dragRequested();
  void contextMenuAt(int x, int y, QPoint global);
  void wheeled(int delta);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QImage image_;
  bool pressed_ = false;
  QPoint pressPoint_;
};

// The scroll of a scroll bar's action (QAbstractSlider::SliderAction); false
// for an action the pages do not follow.
bool ScrollCodeOfAction(int action, ScrollCode& code);

class TextViewWidget : public QWidget {
  Q_OBJECT
 public:
  explicit TextViewWidget(QWidget* parent = nullptr);

  // Draws the page again from bookmark 1 (ForcerAffichage); an empty page
  // when no text is loaded.
  void ForcerAffichage();
  // The scroll bar's position (PosCurseur).
  void PosCurseur(int32_t position);
  // A scroll of the scroll bar, as the user makes it.
  void Scroll(ScrollCode code, int32_t position);
  // The mouse wheel over the page: the page moves by delta words.
  void Wheel(int delta);

  TExtraitDuTexte& Page() { return page_; }
  TextImageWidget* ImageTexte() const { return image_; }
  QScrollBar* ScrollBarTexte() const { return scrollBar_; }
  QLabel* Caption() const { return caption_; }

 signals:
  // A word of the page was double-clicked (its position and item kind).
  void wordActivated(int32_t position, int32_t kind);
  // The status text of a scroll in progress.
  void statusText(const QString& text);
  // The hovered word's place ("position/highest") for the first status panel.
  void placeText(const QString& text);
  // The popup menu asked at a point (the hit word is the current one).
  void popupRequested(QPoint global);

 private:
  // The mouse on the page: hover, click and drag (needs the main window).
  // The item under a point of the page, kept in ViewState for the drag and
  // the popup menu's commands.
  std::optional<TPageItem> HitAt(int x, int y);
  TextMouse* Mouse();
  void EndDrag(QPoint global);

  TExtraitDuTexte page_;
  std::unique_ptr<TextMouse> mouse_;
  MainWindowPort* mousePort_ = nullptr;
  TextImageWidget* image_;
  QScrollBar* scrollBar_;
  QLabel* caption_;
};

}  // namespace quilor::ui
