#include "scenario/scenario_editor_window.h"
#include "ui/texts_qt.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QMimeData>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>
#include <map>
#include <memory>

#include "core/files.h"
#include "engine/ontology_engine.h"
#include "core/options.h"
#include "ui/desktop.h"
#include "ui/drag_formats.h"
#include "ui/painter_canvas_qt.h"
#include "ui/print_margins_qt.h"
#include "platform/text_encoding.h"
#include "scenario/owl_import_dialog.h"
#include "scenario/scenario_print.h"
#include "scenario/scenario_wizard_dialog.h"
#include "scenario/texts.h"
#include "generated/message_names.h"

namespace quilor::ui {

namespace {

constexpr int kNodeRole = Qt::UserRole + 1;
constexpr int kLargeFontPoints = 14;
constexpr int kPagesHeight = 150;
constexpr int kLargePagesHeight = 210;
// The menu commands.
constexpr int kMsgEditorNew = 7124, kMsgEditorOpen = 7125, kMsgEditorSave = 7126, kMsgEditorSaveAs = 7127,
              kMsgEditorPrint = 7128, kMsgEditorExit = 7129, kMsgEditorCut = 7130, kMsgEditorPaste = 7131,
              kMsgEditorDelete = 7132, kMsgEditorRename = 7135, kMsgEditorDissociate = 7136, kMsgEditorExpandAll = 7137,
              kMsgEditorReduceAll = 7138, kMsgEditorSort = 7139, kMsgEditorCancelAll = 7140, kMsgEditorFolder = 7141,
              kMsgEditorCreateItem = 7146, kMsgEditorUpperCase = 7147, kMsgEditorOptions = 7148;

QString T(int id) { return FromCp1252(Msg(id)); }
std::string FromQ(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

// The pictures of the nodes, drawn once.
QIcon PictureIcon(int picture) {
  static std::map<int, QIcon> cache;
  auto it = cache.find(picture);
  if (it != cache.end()) return it->second;
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  auto letter = [&](QColor colour, const char* text) {
    p.setBrush(colour);
    p.setPen(colour.darker());
    p.drawRoundedRect(1, 1, 14, 14, 3, 3);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, text);
  };
  switch (picture) {
    case kPicGroup:
      p.setBrush(QColor(240, 200, 60));
      p.setPen(QColor(150, 110, 20));
      p.drawRect(1, 4, 14, 10);
      p.drawRect(1, 2, 6, 3);
      break;
    case kPicHiddenGroup:
      p.setBrush(QColor(200, 200, 200));
      p.setPen(QColor(120, 120, 120));
      p.drawRect(1, 4, 14, 10);
      p.drawRect(1, 2, 6, 3);
      break;
    case kPicClass: letter(QColor(40, 140, 70), "C"); break;
    case kPicVerb: letter(QColor(190, 50, 50), "V"); break;
    case kPicAdjective: letter(QColor(220, 130, 30), "A"); break;
    case kPicSubstantive: letter(QColor(120, 70, 170), "S"); break;
    case kPicError: letter(QColor(220, 0, 0), "!"); break;
    default:
      p.setBrush(QColor(60, 110, 200));
      p.setPen(QColor(30, 60, 130));
      p.drawEllipse(3, 3, 10, 10);
      break;
  }
  p.end();
  return cache[picture] = QIcon(pixmap);
}

// The pictures of the tool bar, drawn on a grid of 24 units.
enum class Tool { kNew, kOpen, kSave, kPrint, kGroup, kItem, kDissociate, kCut, kPaste, kDelete };

QIcon ToolIcon(Tool tool) {
  static std::map<Tool, QIcon> cache;
  auto it = cache.find(tool);
  if (it != cache.end()) return it->second;
  constexpr int kScale = 2;  // drawn at twice the size: sharp at a device pixel ratio of 2
  QPixmap pixmap(24 * kScale, 24 * kScale);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(kScale, kScale);
  const QColor ink(60, 60, 70);
  const QPen outline(ink, 1.2);
  auto page = [&](QRectF r) {
    p.setPen(outline);
    p.setBrush(Qt::white);
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 5, r.top());
    path.lineTo(r.right(), r.top() + 5);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 5, r.top()), QPointF(r.right() - 5, r.top() + 5));
    p.drawLine(QPointF(r.right() - 5, r.top() + 5), QPointF(r.right(), r.top() + 5));
  };
  auto folder = [&](QRectF r, QColor colour) {
    p.setPen(QPen(colour.darker(160), 1.2));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(r.left(), r.top(), r.width() * 0.45, 4), 1, 1);
    p.drawRoundedRect(QRectF(r.left(), r.top() + 2.5, r.width(), r.height() - 2.5), 1.5, 1.5);
  };
  auto plus = [&](QPointF c) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 150, 60));
    p.drawEllipse(c, 5.5, 5.5);
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(c.x() - 3, c.y()), QPointF(c.x() + 3, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - 3), QPointF(c.x(), c.y() + 3));
  };
  switch (tool) {
    case Tool::kNew: page(QRectF(5, 2, 14, 20)); break;
    case Tool::kOpen:
      folder(QRectF(2, 5, 20, 15), QColor(240, 200, 60));
      p.setBrush(QColor(250, 225, 120));
      p.drawPolygon(QPolygonF({QPointF(5, 10), QPointF(23, 10), QPointF(20, 20), QPointF(2, 20)}));
      break;
    case Tool::kSave:
      p.setPen(QPen(QColor(30, 60, 130), 1.2));
      p.setBrush(QColor(60, 110, 200));
      p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(6, 3, 12, 7));
      p.setBrush(QColor(200, 210, 230));
      p.drawRect(QRectF(7, 14, 10, 7));
      break;
    case Tool::kPrint:
      p.setPen(outline);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(7, 2, 10, 8));
      p.setBrush(QColor(150, 155, 165));
      p.drawRoundedRect(QRectF(2, 8, 20, 9), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(6, 14, 12, 8));
      p.drawLine(QPointF(8, 17), QPointF(16, 17));
      p.drawLine(QPointF(8, 19.5), QPointF(14, 19.5));
      break;
    case Tool::kGroup:
      folder(QRectF(1, 3, 17, 13), QColor(240, 200, 60));
      plus(QPointF(17, 17));
      break;
    case Tool::kItem:
      p.setPen(QPen(QColor(30, 60, 130), 1.2));
      p.setBrush(QColor(60, 110, 200));
      p.drawEllipse(QRectF(2, 2, 13, 13));
      plus(QPointF(17, 17));
      break;
    case Tool::kDissociate:
      folder(QRectF(1, 2, 15, 12), QColor(240, 200, 60));
      p.setPen(QPen(QColor(30, 60, 130), 1.2));
      p.setBrush(QColor(60, 110, 200));
      p.drawEllipse(QRectF(15, 15, 7, 7));
      p.setPen(QPen(QColor(190, 50, 50), 2));
      p.drawLine(QPointF(9, 11), QPointF(15, 17));
      p.drawLine(QPointF(15, 17), QPointF(15, 13));
      p.drawLine(QPointF(15, 17), QPointF(11, 17));
      break;
    case Tool::kCut:
      p.setPen(QPen(ink, 1.8));
      p.setBrush(Qt::NoBrush);
      p.drawLine(QPointF(7, 2), QPointF(15, 15));
      p.drawLine(QPointF(17, 2), QPointF(9, 15));
      p.setPen(QPen(QColor(190, 50, 50), 2));
      p.drawEllipse(QRectF(3, 14, 7, 7));
      p.drawEllipse(QRectF(14, 14, 7, 7));
      break;
    case Tool::kPaste:
      p.setPen(QPen(QColor(110, 70, 30), 1.2));
      p.setBrush(QColor(190, 140, 80));
      p.drawRoundedRect(QRectF(3, 4, 15, 18), 2, 2);
      p.setBrush(QColor(150, 155, 165));
      p.drawRoundedRect(QRectF(7, 2, 7, 4), 1, 1);
      page(QRectF(10, 9, 12, 14));
      break;
    case Tool::kDelete:
      p.setPen(QPen(QColor(200, 30, 30), 3.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(5, 5), QPointF(19, 19));
      p.drawLine(QPointF(19, 5), QPointF(5, 19));
      break;
  }
  p.end();
  pixmap.setDevicePixelRatio(kScale);
  return cache[tool] = QIcon(pixmap);
}

ScenarioToolHooks& ToolHooks() {
  static ScenarioToolHooks hooks;
  return hooks;
}

}  // namespace

void SetScenarioToolHooks(ScenarioToolHooks hooks) { ToolHooks() = std::move(hooks); }

// The tree view: moves inside the tree go through the editor's drop rule;
// words of the text page and lines of the results list are added.
class ScenarioTreeWidget : public QTreeWidget {
 public:
  explicit ScenarioTreeWidget(ScenarioEditorWindow& window) : QTreeWidget(&window), window_(window) {}

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override {
    if (event->source() == this) return QTreeWidget::dragEnterEvent(event);
    if (Takes(event->mimeData())) event->acceptProposedAction();
    else event->ignore();
  }
  void dragMoveEvent(QDragMoveEvent* event) override {
    if (event->source() == this) return QTreeWidget::dragMoveEvent(event);
    if (Takes(event->mimeData())) event->acceptProposedAction();
    else event->ignore();
  }
  void dropEvent(QDropEvent* event) override {
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    if (event->source() != this) {
      window_.DropFromOtherWindow(event->mimeData(), target ? window_.NodeOf(target) : 0);
      event->acceptProposedAction();
      return;
    }
    QTreeWidgetItem* source = currentItem();
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (source && target) window_.DropInside(window_.NodeOf(source), window_.NodeOf(target));
  }

 private:
  bool Takes(const QMimeData* data) const { return window_.TakesDrop(data); }
  ScenarioEditorWindow& window_;
};

// The attribute panel ("Selection"): it takes what the tree takes from the
// other windows.
class AttributePanelWidget : public QWidget {
 public:
  AttributePanelWidget(ScenarioEditorWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
    setAcceptDrops(true);
  }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override { Answer(event); }
  void dragMoveEvent(QDragMoveEvent* event) override { Answer(event); }
  void dropEvent(QDropEvent* event) override {
    if (window_.DropOnPanel(event->mimeData())) event->acceptProposedAction();
    else event->ignore();
  }

 private:
  void Answer(QDropEvent* event) {
    if (window_.TakesDrop(event->mimeData())) event->acceptProposedAction();
    else event->ignore();
  }
  ScenarioEditorWindow& window_;
};

ScenarioEditorWindow::ScenarioEditorWindow(ScenarioEditor& editor, QWidget* parent)
    : QMainWindow(parent), editor_(editor) {
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 4);

  auto* searchRow = new QHBoxLayout;
  search_ = new QLineEdit(central);
  search_->setPlaceholderText(T(kMsgTypeAWord));
  search_->setToolTip(T(msg::kEditorSearchScenarioTool));
  auto* searchButton = new QPushButton(T(msg::kSearch), central);
  auto* searchMenu = new QToolButton(central);
  searchMenu->setText(QStringLiteral("+"));
  searchMenu->setPopupMode(QToolButton::InstantPopup);
  auto* popup2 = new QMenu(searchMenu);
  popup2->addAction(T(msg::kEditorSearchScenarioTool), this, [this] { editor_.ToolButtonChercherClick(); });
  popup2->addAction(T(msg::kAddNewGroup), this, [this] { editor_.AddSearchFieldInNewGroup(); });
  popup2->addAction(T(msg::kInsertSelectedGroup), this, [this] { editor_.InsertSearchFieldInGroup(); });
  searchMenu->setMenu(popup2);
  searchRow->addWidget(search_, 1);
  searchRow->addWidget(searchButton);
  searchRow->addWidget(searchMenu);
  layout->addLayout(searchRow);
  connect(search_, &QLineEdit::textEdited, this, [this](const QString& t) { editor_.SetSearchText(FromQ(t)); });
  auto search = [this] {
    if (search_->text().isEmpty()) {
      search_->setFocus();
      return;
    }
    editor_.ToolButtonChercherClick();
  };
  connect(search_, &QLineEdit::returnPressed, this, search);
  connect(searchButton, &QPushButton::clicked, this, search);

  tree_ = new ScenarioTreeWidget(*this);
  tree_->setHeaderHidden(true);
  tree_->setDragEnabled(true);
  tree_->setAcceptDrops(true);
  tree_->setDropIndicatorShown(true);
  tree_->setDragDropMode(QAbstractItemView::DragDrop);
  tree_->setDefaultDropAction(Qt::MoveAction);
  tree_->setContextMenuPolicy(Qt::ActionsContextMenu);
  tree_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  layout->addWidget(tree_, 1);
  connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
  connect(tree_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) { OnItemChanged(item); });
  connect(tree_, &QTreeWidget::itemExpanded, this,
          [this](QTreeWidgetItem* i) { editor_.Tree().SetExpanded(NodeOf(i), true); });
  connect(tree_, &QTreeWidget::itemCollapsed, this,
          [this](QTreeWidgetItem* i) { editor_.Tree().SetExpanded(NodeOf(i), false); });

  pages_ = new QTabWidget(central);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  // The whole page takes drops, shown or not the attributes of a selection.
  auto* attributes = new AttributePanelWidget(*this, pages_);
  attributes->setObjectName(QStringLiteral("TabSheetAttributs"));
  auto* attributesLayout = new QVBoxLayout(attributes);
  attributesLayout->setContentsMargins(0, 0, 0, 0);
  panel_ = new QWidget(attributes);
  panel_->setObjectName(QStringLiteral("PanelAttributs"));
  attributesLayout->addWidget(panel_);
  attributesLayout->addStretch(1);
  auto* panelLayout = new QHBoxLayout(panel_);
  panelLayout->setContentsMargins(2, 2, 2, 2);
  picture_ = new QLabel(panel_);
  auto* texts = new QVBoxLayout;
  groupLabel_ = new QLabel(panel_);
  itemLabel_ = new QLabel(panel_);
  visible_ = new QCheckBox(T(kMsgVisible), panel_);
  visible_->setToolTip(T(msg::kIndicateIfGroupShown));
  texts->addWidget(groupLabel_);
  texts->addWidget(itemLabel_);
  texts->addWidget(visible_);
  panelLayout->addWidget(picture_);
  panelLayout->addLayout(texts, 1);
  pages_->addTab(attributes, T(kMsgAttributes));
  explanation_ = new QTextBrowser(pages_);
  explanation_->setObjectName(QStringLiteral("TabSheetExpliquer"));
  explanation_->setOpenLinks(false);
  QString html;
  for (int id = kExplainFirst; id <= kExplainLast; ++id) html += "<p>" + T(id).toHtmlEscaped() + "</p>";
  explanation_->setHtml(html);
  pages_->addTab(explanation_, T(kMsgExplanation));
  pages_->setMaximumHeight(kPagesHeight);
  layout->addWidget(pages_);
  statusText_ = new QLabel(this);
  statusText_->setObjectName(QStringLiteral("StatusBar1"));
  // Permanent: a menu's hint or a passing message never hides it.
  statusBar()->addPermanentWidget(statusText_, 1);
  connect(visible_, &QCheckBox::clicked, this, [this](bool on) {
    editor_.Tree().SetVisible(editor_.Tree().Selected(), on);
    Refresh();
  });

  setCentralWidget(central);
  BuildActions();

  editor_.refreshView = [this] { Refresh(); };
  editor_.runWizard = [this] {
    ScenarioWizardDialog wizard(editor_, this);
    wizard.exec();
    Refresh();
  };
  editor_.importOwl = [this](const std::string& path) {
    OwlImportDialog dialog(path, this);
    dialog.exec();
    editor_.owlLog = dialog.LogFile();
    return dialog.ProducedFile();
  };
  editor_.showWindow = [this] {
    Refresh();
    show();
    raise();
    activateWindow();
    if (QTreeWidgetItem* item = tree_->currentItem()) tree_->scrollToItem(item);
  };

  // Wide enough for every tool button, never narrower: against the right
  // edge of the first screen, 40 pixels down, at most half its width.
  const int toolWidth = toolbar_->sizeHint().width() + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
  setMinimumWidth(toolWidth);
  const int wanted = std::max(kDefaultWidth, toolWidth);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    const int width = std::max(toolWidth, std::min(wanted, area.width() / 2));
    const int height = std::max(200, area.height() - 80);
    setGeometry(area.right() + 1 - width, area.top() + 40, width, height);
  } else {
    resize(wanted, 600);
  }
  Refresh();
}

ScenarioEditorWindow::~ScenarioEditorWindow() {
  editor_.refreshView = nullptr;
  editor_.showWindow = nullptr;
  editor_.importOwl = nullptr;
  editor_.runWizard = nullptr;
}

void ScenarioEditorWindow::BuildActions() {
  toolbar_ = addToolBar(T(msg::kEditorFile));
  toolbar_->setObjectName(QStringLiteral("ToolBar1"));
  toolbar_->setMovable(false);
  toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolbar_->setIconSize(QSize(24, 24));
  QToolBar* toolbar = toolbar_;
  auto add = [this](QMenu* menu, int text, const QKeySequence& key, std::function<void()> run) {
    QAction* a = menu->addAction(T(text));
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, [this, run] {
      run();
      Refresh();
    });
    return a;
  };
  // A tool button: its picture, and its name (with the shortcut) as its hint.
  auto tool = [toolbar](QAction* a, Tool picture, const char* name) {
    a->setIcon(ToolIcon(picture));
    a->setObjectName(QString::fromLatin1(name));
    QString hint = a->text();
    if (!a->shortcut().isEmpty()) hint += QStringLiteral(" (") + a->shortcut().toString(QKeySequence::NativeText) + ")";
    a->setToolTip(hint);
    toolbar->addAction(a);
    return a;
  };
  QMenu* file = menuBar()->addMenu(T(msg::kEditorFile));
  tool(add(file, kMsgEditorNew, QKeySequence::New, [this] { editor_.ToolButtonNouveauClick(); }), Tool::kNew,
       "ToolButtonNouveau");
  tool(add(file, kMsgEditorOpen, QKeySequence::Open, [this] { editor_.ToolButtonOuvrirClick(); }), Tool::kOpen,
       "ToolButtonOuvrir");
  actImportOwl_ = add(file, kMsgImportOwl, {}, [this] { editor_.ImportOwlClick(); });
  actImportOwl_->setObjectName(QStringLiteral("MenuImportOwl"));
  tool(add(file, kMsgEditorSave, QKeySequence::Save, [this] { editor_.ToolButtonEnregistrerClick(); }), Tool::kSave,
       "ToolButtonEnregistrer");
  add(file, kMsgEditorSaveAs, QKeySequence::SaveAs, [this] { editor_.MenuEnregistrerSousClick(); });
  add(file, kMsgEditorFolder, {}, [] { ExploreFolder(WorkContext->UserScenarioFolder); });
  actPrint_ =
      tool(add(file, kMsgEditorPrint, QKeySequence::Print, [this] { Print(); }), Tool::kPrint, "ToolButtonImprimer");
  file->addSeparator();
  add(file, kMsgEditorExit, {}, [this] { close(); });

  QMenu* edit = menuBar()->addMenu(T(msg::kEditorEdit));
  toolbar->addSeparator();
  tool(add(edit, msg::kCreateGroup, QKeySequence(Qt::CTRL | Qt::Key_G),
           [this] {
             editor_.ToolButtonCreerGroupeClick();
             Refresh();
             if (QTreeWidgetItem* item = tree_->currentItem()) tree_->editItem(item);
           }),
       Tool::kGroup, "ToolButtonCreerGroupe");
  actCreateItem_ = add(edit, kMsgEditorCreateItem, QKeySequence(Qt::CTRL | Qt::Key_I), [this] {
    const ScenarioNode* selected = editor_.Tree().Node(editor_.Tree().Selected());
    // The word search takes the label and lists its meanings.
    if (selected && ToolHooks().searchWord && ToolHooks().searchWord(selected->text)) return;
    if (const ScenarioNode* n = selected) {
      search_->setText(FromCp1252(n->text));
      editor_.SetSearchText(n->text);
    }
    search_->setFocus();
  });
  tool(actCreateItem_, Tool::kItem, "ToolButtonCreerItem");
  actDissociate_ = add(edit, kMsgEditorDissociate, {}, [this] { editor_.ToolButtonDissocierClick(); });
  tool(actDissociate_, Tool::kDissociate, "ToolButtonDissocier");
  actCut_ = add(edit, kMsgEditorCut, QKeySequence::Cut, [this] { editor_.CutSelected(); });
  actPaste_ = add(edit, kMsgEditorPaste, QKeySequence::Paste, [this] { editor_.PasteOnSelected(); });
  actDelete_ = add(edit, kMsgEditorDelete, QKeySequence::Delete, [this] { editor_.ToolButtonSupprimerClick(); });
  tool(actCut_, Tool::kCut, "ToolButtonCouper");
  tool(actPaste_, Tool::kPaste, "ToolButtonColler");
  tool(actDelete_, Tool::kDelete, "ToolButtonSupprimer");
  edit->addSeparator();
  actRename_ = add(edit, kMsgEditorRename, QKeySequence(Qt::Key_F2), [this] {
    if (QTreeWidgetItem* item = tree_->currentItem()) tree_->editItem(item);
  });
  actUpper_ = add(edit, kMsgEditorUpperCase, QKeySequence(Qt::CTRL | Qt::Key_Q),
                  [this] { editor_.Tree().UpperCase(editor_.Tree().Selected()); });
  edit->addSeparator();
  actOptions_ = add(edit, kMsgEditorOptions, {}, [this] {
    if (editor_.showOptions) editor_.showOptions();
  });
  actOptions_->setObjectName(QStringLiteral("MenuOptions"));
  actCancelAll_ = add(edit, kMsgEditorCancelAll, {}, [this] { editor_.MenuAnnulerModifsClick(); });

  QMenu* treeMenu = menuBar()->addMenu(T(msg::kTree));
  add(treeMenu, kMsgEditorExpandAll, QKeySequence(Qt::CTRL | Qt::Key_D), [this] { editor_.Tree().ExpandAll(true); });
  add(treeMenu, kMsgEditorReduceAll, QKeySequence(Qt::CTRL | Qt::Key_R), [this] { editor_.Tree().ExpandAll(false); });
  add(treeMenu, kMsgEditorSort, QKeySequence(Qt::CTRL | Qt::Key_T), [this] { editor_.Tree().SortAll(); });

  QMenu* help = menuBar()->addMenu(T(kMsgHelpMenu));
  QAction* helpTopic =
      add(help, kMsgScenarioToolHelp, QKeySequence(Qt::Key_F1), [] { ShowHelpContext(kHelpScenarioTool); });
  helpTopic->setObjectName(QStringLiteral("MenuAideScenario"));
  helpTopic->setShortcutContext(Qt::WindowShortcut);

  // The tree's context menu.
  tree_->addAction(actCreateItem_);
  QAction* newGroup = new QAction(T(msg::kCreateGroup), tree_);
  connect(newGroup, &QAction::triggered, this, [this] {
    editor_.Tree().NewGroupBefore(editor_.Tree().Selected());
    Refresh();
    if (QTreeWidgetItem* item = tree_->currentItem()) tree_->editItem(item);
  });
  tree_->addAction(newGroup);
  for (QAction* a : {actRename_, actDissociate_, actUpper_, actCut_, actPaste_, actDelete_}) tree_->addAction(a);
}

int ScenarioEditorWindow::NodeOf(QTreeWidgetItem* item) const { return item ? item->data(0, kNodeRole).toInt() : 0; }

void ScenarioEditorWindow::RebuildTree() {
  rebuilding_ = true;
  tree_->clear();
  const ScenarioTree& model = editor_.Tree();
  QTreeWidgetItem* selected = nullptr;
  std::function<void(int, QTreeWidgetItem*)> add = [&](int parent, QTreeWidgetItem* parentItem) {
    for (int id : model.ChildrenOf(parent)) {
      const ScenarioNode* n = model.Node(id);
      auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(tree_);
      item->setText(0, FromCp1252(model.Label(id)));
      item->setIcon(0, PictureIcon(model.Picture(id)));
      item->setData(0, kNodeRole, id);
      Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled;
      if (n->group) flags |= Qt::ItemIsDropEnabled;
      if (ScenarioTree::CanRename(*n)) flags |= Qt::ItemIsEditable;
      item->setFlags(flags);
      if (id == model.CutMark()) item->setForeground(0, Qt::gray);
      if (id == model.Selected()) selected = item;
      add(id, item);
      item->setExpanded(n->expanded);
    }
  };
  add(0, nullptr);
  if (selected) {
    tree_->setCurrentItem(selected);
    tree_->scrollToItem(selected, QAbstractItemView::PositionAtCenter);
  }
  rebuilding_ = false;
}

void ScenarioEditorWindow::UpdatePanel() {
  const AttributePanel panel = editor_.Attributes();
  panel_->setVisible(panel.visible);
  groupLabel_->setText(FromCp1252(panel.groupName));
  itemLabel_->setText(FromCp1252(panel.itemName));
  itemLabel_->setVisible(!panel.group);
  visible_->setVisible(panel.group);
  visible_->setChecked(panel.checkVisible);
  visible_->setText(FromCp1252(panel.checkCaption));
  picture_->setPixmap(PictureIcon(panel.picture).pixmap(32, 32));
  const ScenarioEditorActions a = ScenarioActionStates(editor_);
  for (QAction* act : {actCut_, actDelete_, actDissociate_, actCreateItem_}) act->setEnabled(a.selection);
  actPaste_->setEnabled(a.paste);
  actRename_->setEnabled(a.rename);
  actUpper_->setEnabled(a.upperCase);
  actCancelAll_->setEnabled(a.cancelAll);
  actPrint_->setEnabled(a.print);
  actOptions_->setEnabled(static_cast<bool>(editor_.showOptions));
  actImportOwl_->setEnabled(static_cast<bool>(editor_.importOwl));
  setWindowTitle(FromCp1252(editor_.Caption()));
  statusText_->setText(FromCp1252(editor_.StatusLine()));
}

QString ScenarioEditorWindow::StatusText() const { return statusText_->text(); }

void ScenarioEditorWindow::ApplyFontSizeOption() {
  const int large = Options->Switch(opt::LargeFonts) ? 1 : 0;
  if (large == appliedLargeFonts_) return;
  appliedLargeFonts_ = large;
  QFont font = QApplication::font();
  if (large) font.setPointSize(kLargeFontPoints);
  for (QWidget* w : {static_cast<QWidget*>(tree_), panel_, static_cast<QWidget*>(statusText_)}) w->setFont(font);
  // The attribute page grows with its texts, which never leave it.
  pages_->setMaximumHeight(large ? kLargePagesHeight : kPagesHeight);
}

void ScenarioEditorWindow::Refresh() {
  ApplyFontSizeOption();
  if (editor_.Tree().Generation() != shownGeneration_) {
    RebuildTree();
    shownGeneration_ = editor_.Tree().Generation();
  }
  if (QString::fromStdString(Cp1252ToUtf8(editor_.searchText)) != search_->text())
    search_->setText(FromCp1252(editor_.searchText));
  UpdatePanel();
}

void ScenarioEditorWindow::OnSelectionChanged() {
  if (rebuilding_) return;
  editor_.Tree().Select(NodeOf(tree_->currentItem()));
  shownGeneration_ = editor_.Tree().Generation();
  UpdatePanel();
}

void ScenarioEditorWindow::OnItemChanged(QTreeWidgetItem* item) {
  if (rebuilding_) return;
  const int id = NodeOf(item);
  const std::string text = FromQ(item->text(0));
  if (text != editor_.Tree().Label(id)) editor_.Tree().Rename(id, text);
  QMetaObject::invokeMethod(
      this, [this] { Refresh(); }, Qt::QueuedConnection);
}

bool ScenarioEditorWindow::DropFromOtherWindow(const QMimeData* data, int target) {
  int position = 0;
  ResultsLineDrag line;
  if (data->hasFormat(QString::fromLatin1(kMimeTextWord))) {
    if (!editor_.TakesDropFromOtherWindow(true, 0) ||
        !DecodeTextWordDrag(data->data(QString::fromLatin1(kMimeTextWord)).toStdString(), position))
      return false;
    editor_.DropFromOtherWindow(target, true, position, {}, 0, 0);
  } else if (data->hasFormat(QString::fromLatin1(kMimeResultItem))) {
    if (!DecodeResultsLineDrag(data->data(QString::fromLatin1(kMimeResultItem)).toStdString(), line) ||
        !editor_.TakesDropFromOtherWindow(false, line.resultType))
      return false;
    editor_.DropFromOtherWindow(target, false, 0, line.name, line.classLevel, line.resultType);
  } else {
    return false;
  }
  Refresh();
  return true;
}

bool ScenarioEditorWindow::TakesDrop(const QMimeData* data) const {
  ResultsLineDrag line;
  if (data->hasFormat(QString::fromLatin1(kMimeTextWord))) return editor_.TakesDropFromOtherWindow(true, 0);
  if (data->hasFormat(QString::fromLatin1(kMimeResultItem)) &&
      DecodeResultsLineDrag(data->data(QString::fromLatin1(kMimeResultItem)).toStdString(), line))
    return editor_.TakesDropFromOtherWindow(false, line.resultType);
  return false;
}

bool ScenarioEditorWindow::DropOnPanel(const QMimeData* data) {
  if (!TakesDrop(data)) return false;
  if (data->hasFormat(QString::fromLatin1(kMimeTextWord))) return DropFromOtherWindow(data, 0);
  if (!editor_.addSelectedResult) return false;
  editor_.addSelectedResult();
  Refresh();
  return true;
}

void ScenarioEditorWindow::DropInside(int source, int target) {
  editor_.DropInside(source, target);
  Refresh();
}

int ScenarioEditorWindow::PrintTree(QPrinter& printer) {
  // The job's title is taken when the job begins.
  const std::string title = Msg(kMsgScenario) + " " + Options->Get(opt::ScenarioFileName);
  printer.setDocName(FromCp1252(title));
  // The margins of the program's other printed pages.
  ApplyPrintMargins(printer);
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  PainterCanvas canvas(painter);
  Font font;
  font.size = Options->Switch(opt::LargeFonts) ? 14 : 10;
  canvas.SetFont(font);
  const QRect page = painter.viewport();
  const ScenarioPrintLayout layout =
      LayoutScenarioPrint(ScenarioPrintLines(editor_.Tree()), page.width(), page.height(), canvas.TextHeight("Ag"),
                          canvas.TextWidth("MMM"));
  for (int p = 1; p <= layout.PageCount(); ++p) {
    if (p > 1) printer.newPage();
    DrawScenarioPage(canvas, layout, p, title, font);
  }
  painter.end();
  return layout.PageCount();
}

void ScenarioEditorWindow::Print() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  ShowHourglass();
  PrintTree(printer);
  RestoreCursor();
}

void ScenarioEditorWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) ApplyFontSizeOption();
  QMainWindow::changeEvent(event);
}

void ScenarioEditorWindow::closeEvent(QCloseEvent* event) {
  if (!editor_.FormClose()) {
    event->ignore();
    Refresh();
    return;
  }
  event->accept();
}

ScenarioEditorWindow* ScenarioEditorWindowInstance(MainWindowPort* mainWindow, QWidget* parent) {
  static std::unique_ptr<ScenarioEditor> editor;
  static ScenarioEditorWindow* window = nullptr;
  if (!editor) {
    editor = std::make_unique<ScenarioEditor>(mainWindow);
    editor->openDocument = ToolHooks().openDocument;
    editor->showOptions = ToolHooks().showOptions;
    editor->addSelectedResult = ToolHooks().addSelectedResult;
    SetCurrentScenarioEditor(editor.get());
  }
  if (!window) {
    window = new ScenarioEditorWindow(*editor, parent);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    // The window goes with the main window it belongs to, and the editor,
    // which knows that main window, goes with it.
    QObject::connect(window, &QObject::destroyed, [] {
      window = nullptr;
      if (CurrentScenarioEditor() == editor.get()) SetCurrentScenarioEditor(nullptr);
      editor.reset();
    });
  }
  return window;
}

}  // namespace quilor::ui
