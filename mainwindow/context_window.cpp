#include "mainwindow/context_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/files.h"
#include "core/messages.h"
#include "engine/word_list.h"
#include "ui/painter_canvas_qt.h"
#include "mainwindow/text_view_widget.h"
#include "ui/texts_qt.h"
#include "platform/text_encoding.h"

namespace quilor::ui {

namespace {
constexpr int kMsgContext = 387;
constexpr int kMsgCopy = 579;
constexpr int kMsgSearch = 520;
constexpr int kMsgMove = 6004;
constexpr int kMsgLocalise = 6005;
constexpr int kMsgOpenOnWeb = 6006;
constexpr int kMsgOpenWith = 6007;
constexpr int kMsgDesktopApplication = 6008;
constexpr int kMsgHelp = 616;
constexpr int kMsgFileMenu = 324;
constexpr int kMsgEditMenu = 609;
constexpr int kMsgExit = 608;
constexpr int kContextHelp = 918;
constexpr int kMsgUrl = 6009;
constexpr int kMsgInternetAddress = 6011;
constexpr int kMsgFilesPanelHint = 6012;
constexpr int kMsgFileLabel = 6010;

}  // namespace

ContextWindow::ContextWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      image_(new TextImageWidget),
      scrollBar_(new QScrollBar(Qt::Vertical)),
      edit1_(new QLineEdit),
      editUrl_(new QLineEdit) {
  setObjectName("TFormContexte");
  setWindowTitle(MessageText(kMsgContext));
  tools_ = new QToolBar;
  QToolBar* tools = tools_;
  openWithProgram_ = tools->addAction(MessageText(kMsgOpenWith) + QCoreApplication::applicationName());
  openWithDesktop_ = tools->addAction(MessageText(kMsgOpenWith) + MessageText(kMsgDesktopApplication));
  web_ = tools->addAction(MessageText(kMsgOpenOnWeb));
  localise_ = tools->addAction(MessageText(kMsgLocalise));
  search_ = tools->addAction(MessageText(kMsgSearch));
  copy_ = tools->addAction(MessageText(kMsgCopy));
  help_ = tools->addAction(MessageText(kMsgHelp));
  search_->setShortcut(QKeySequence::Find);
  copy_->setShortcut(QKeySequence::Copy);
  help_->setShortcut(QKeySequence::HelpContents);
  help_->setObjectName("ToolButtonAide");
  // The menus of the window: its files, its edit commands and its help.
  auto* menus = new QMenuBar;
  QMenu* file = menus->addMenu(MessageText(kMsgFileMenu));
  file->setObjectName("MenuFichiers");
  for (QAction* a : {openWithProgram_, openWithDesktop_, web_, localise_}) file->addAction(a);
  file->addSeparator();
  QAction* quit = file->addAction(MessageText(kMsgExit));
  quit->setObjectName("MenuPPalQuitter");
  connect(quit, &QAction::triggered, this, &QWidget::close);
  QMenu* edit = menus->addMenu(MessageText(kMsgEditMenu));
  edit->setObjectName("MenuEdition");
  edit->addAction(search_);
  edit->addAction(copy_);
  QMenu* helpMenu = menus->addMenu(MessageText(kMsgHelp));
  helpMenu->setObjectName("MenuAide");
  helpMenu->addAction(help_);
  connect(help_, &QAction::triggered, this, [] { ShowHelpContext(kContextHelp); });
  move_ = new QAction(MessageText(kMsgMove), this);
  openWithProgram_->setObjectName("ToolButtonQuilor");
  openWithDesktop_->setObjectName("ToolButtonOuvrir");
  web_->setObjectName("ToolButtonWeb");
  localise_->setObjectName("ToolButtonLocaliser");
  search_->setObjectName("ToolButtonChercher");
  copy_->setObjectName("ToolButtonCopier");
  // Enabled once the word search is there (SetSearchWordAt).
  search_->setEnabled(false);
  edit1_->setObjectName("Edit1");
  editUrl_->setObjectName("EditURL");
  edit1_->setReadOnly(true);
  editUrl_->setReadOnly(true);
  editUrl_->setToolTip(MessageText(kMsgInternetAddress));
  auto* files = new QWidget;
  files->setObjectName("PanelFichiers");
  files->setToolTip(MessageText(kMsgFilesPanelHint));
  auto* form = new QFormLayout(files);
  form->addRow(MessageText(kMsgFileLabel), edit1_);
  form->addRow(MessageText(kMsgUrl), editUrl_);
  auto* row = new QHBoxLayout;
  row->setSpacing(0);
  row->addWidget(image_, 1);
  row->addWidget(scrollBar_);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menus);
  layout->addWidget(tools);
  layout->addLayout(row, 1);
  layout->addWidget(files);
  image_->setContextMenuPolicy(Qt::CustomContextMenu);
  // Wide enough for the whole toolbar: no command hides behind its arrow.
  resize(
      std::max(600, tools->sizeHint().width() + layout->contentsMargins().left() + layout->contentsMargins().right()),
      400);

  connect(image_, &TextImageWidget::resized, this, [this] { Redraw(); });
  connect(image_, &TextImageWidget::mouseMoved, this, [this](int x, int y) { model_.WordAt(x, y); });
  connect(image_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    model_.WordAt(at.x(), at.y());
    QMenu menu;
    menu.addAction(copy_);
    menu.addAction(search_);
    menu.addAction(move_);
    menu.exec(image_->mapToGlobal(at));
  });
  connect(search_, &QAction::triggered, this, [this] {
    if (searchWordAt_) searchWordAt_(model_.HitWordPosition());
  });
  connect(openWithProgram_, &QAction::triggered, this, [this] {
    if (OpenWithProgram && !model_.DocumentName().empty()) {
      const std::string name = model_.DocumentName();
      close();
      OpenWithProgram(name);
    }
  });
  connect(openWithDesktop_, &QAction::triggered, this, [this] { model_.OpenWithDesktop(); });
  connect(localise_, &QAction::triggered, this, [this] { model_.LocaliseFolder(); });
  connect(web_, &QAction::triggered, this, [this] { model_.OpenWebPage(); });
  connect(copy_, &QAction::triggered, this, [this] {
    if (CopyAround && model_.HitWordPosition() >= 1) CopyAround(model_.HitWordPosition());
  });
  connect(move_, &QAction::triggered, this, [this] {
    const int32_t p = model_.HitWordPosition();
    if (p >= 1) AfficherLeContexte(p, p);
  });
  connect(scrollBar_, &QScrollBar::actionTriggered, this, [this](int action) {
    ScrollCode code;
    if (ScrollCodeOfAction(action, code) && code != ScrollCode::kTrack) ScrollBy(code, scrollBar_->sliderPosition());
  });
  connect(scrollBar_, &QScrollBar::sliderReleased, this,
          [this] { ScrollBy(ScrollCode::kPosition, scrollBar_->value()); });
}

void ContextWindow::SetSearchWordAt(std::function<void(int32_t)> f) {
  searchWordAt_ = std::move(f);
  search_->setEnabled(static_cast<bool>(searchWordAt_));
}

void ContextWindow::AfficherLeContexte(int32_t wordPosition) {
  AfficherLeContexte(wordPosition, ContextPageStart(wordPosition));
}

void ContextWindow::AfficherLeContexte(int32_t wordPosition, int32_t pageStart) {
  if (isMinimized()) showNormal();
  if (!model_.AfficherLeContexte(wordPosition, pageStart)) return;
  Redraw();
  ShowDocument();
}

void ContextWindow::ScrollBy(ScrollCode code, int32_t position) {
  if (!model_.Scroll(code, position)) return;
  Redraw();
  if (model_.FirstWordPosition() > 0) ShowDocument();
}

void ContextWindow::Redraw() {
  const QSize size = image_->size();
  QImage image(size * devicePixelRatioF(), QImage::Format_RGB32);
  image.setDevicePixelRatio(devicePixelRatioF());
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    PainterCanvas canvas(painter);
    model_.Draw(canvas, Rect{0, 0, size.width(), size.height()});
  }
  image_->SetImage(image);
  const QSignalBlocker block(scrollBar_);
  scrollBar_->setRange(1, std::max(model_.ScrollMaximum(), 1));
  scrollBar_->setValue(model_.FirstWordPosition() > 0 ? model_.FirstWordPosition() : model_.ScrollPosition());
}

void ContextWindow::ShowDocument() {
  edit1_->setText(FromCp1252(model_.DocumentName()));
  editUrl_->setText(FromCp1252(model_.Url()));
  openWithProgram_->setEnabled(model_.OpenWithProgramEnabled() && OpenWithProgram != nullptr);
  web_->setEnabled(model_.WebEnabled());
  copy_->setEnabled(CopyAround != nullptr);
}

void ContextWindow::closeEvent(QCloseEvent* event) {
  model_.Closed();
  QWidget::closeEvent(event);
}

}  // namespace quilor::ui
