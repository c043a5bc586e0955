#include "scenario/terminology_extractor_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "core/files.h"
#include "core/options.h"
#include "ui/painter_canvas_qt.h"
#include "ui/texts_qt.h"
#include "scenario/scenario_editor_window.h"

namespace quilor::ui {

namespace {

constexpr int kLineHeight = 18;
constexpr int kLargeLineHeight = 24;
// Below this client height the controls take a font of 6 points.
constexpr int kSmallClientHeight = 420;

TerminologyWindow* instance = nullptr;

bool LargeFontsOn() { return Options && Options->Switch(opt::LargeFonts); }

QString ExplanationHtml() {
  QString html =
      QStringLiteral("<p>") + MessageText(kMsgTermExplanationFirst).toHtmlEscaped() + QStringLiteral("</p><ol>");
  for (int id = kMsgTermExplanationFirst + 1; id < kMsgTermExplanationLast; ++id)
    html += QStringLiteral("<li>") + MessageText(id).toHtmlEscaped() + QStringLiteral("</li>");
  html += QStringLiteral("</ol><p>") + MessageText(kMsgTermExplanationLast).toHtmlEscaped() + QStringLiteral("</p>");
  return html;
}

}  // namespace

void TermLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const auto& lines = logic_.Lines();
  if (index.row() < 0 || static_cast<size_t>(index.row()) >= lines.size()) return;
  const QRect q = option.rect;
  painter->save();
  PainterCanvas canvas(*painter);
  DrawTermLine(canvas, Rect{q.left(), q.top(), q.right() + 1, q.bottom() + 1}, lines[static_cast<size_t>(index.row())],
               option.state & QStyle::State_Selected, LargeFontsOn());
  painter->restore();
}

QSize TermLineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  size.setHeight(LargeFontsOn() ? kLargeLineHeight : kLineHeight);
  return size;
}

TerminologyWindow::TerminologyWindow(std::unique_ptr<TDlgExtracteurTerminologique> logic, QWidget* parent)
    : QWidget(parent, Qt::Window),
      logic_(std::move(logic)),
      pages_(new QTabWidget),
      list_(new QListWidget),
      explanation_(new QTextBrowser),
      expressions_(new QRadioButton(MessageText(kMsgTermCompounds))),
      nonClasses_(new QRadioButton(MessageText(kMsgTermUnclassified))),
      tout_(new QRadioButton(MessageText(kMsgTermShowAll))),
      significatifs_(new QRadioButton(MessageText(kMsgTermMostSignificant))),
      nePasFiltrer_(new QRadioButton(MessageText(kMsgTermDoNotFilter))),
      groupScenario_(new QGroupBox(MessageText(kMsgTermScenario))),
      inserer_(new QPushButton(MessageText(kMsgTermInsert))),
      radioInserer_(new QRadioButton(MessageText(kMsgTermInsert))),
      radioAjouter_(new QRadioButton(MessageText(kMsgTermAdd))),
      sousClasser_(new QCheckBox(MessageText(kMsgTermSubclassify))),
      groupLocaliser_(new QGroupBox(MessageText(kMsgTermLocate))),
      automatique_(new QCheckBox(MessageText(kMsgTermLocateInScenario))),
      localiserTexte_(new QCheckBox(MessageText(kMsgTermLocateInText))),
      retablir_(new QPushButton(MessageText(kMsgTermRestore))),
      annuler_(new QPushButton(MessageText(kMsgTermClose))),
      aide_(new QPushButton(MessageText(kMsgTermHelp))),
      popup_(new QMenu(this)),
      status_(new QLabel) {
  setObjectName(QStringLiteral("DlgExtracteurTerminologique"));
  setWindowTitle(MessageText(kMsgTerminologyExtraction) + QStringLiteral(" (Varnitel)"));
  list_->setObjectName(QStringLiteral("ListBox1"));
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setUniformItemSizes(true);
  list_->setItemDelegate(new TermLineDelegate(*logic_, list_));
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  explanation_->setObjectName(QStringLiteral("RichEdit4"));
  explanation_->setHtml(ExplanationHtml());
  status_->setObjectName(QStringLiteral("StatusBar1"));
  status_->setFrameShape(QFrame::Panel);
  status_->setFrameShadow(QFrame::Sunken);

  // The pages.
  auto* terms = new QWidget;
  terms->setObjectName(QStringLiteral("TabSheet1"));
  auto* termsLayout = new QVBoxLayout(terms);
  termsLayout->setContentsMargins(2, 2, 2, 2);
  termsLayout->addWidget(list_);
  auto* options = new QWidget;
  options->setObjectName(QStringLiteral("TabSheetOptions"));
  auto* optionsLayout = new QVBoxLayout(options);
  auto* shown = new QGroupBox;
  auto* shownLayout = new QVBoxLayout(shown);
  for (QRadioButton* b : {expressions_, nonClasses_, tout_}) shownLayout->addWidget(b);
  auto* filtered = new QGroupBox;
  auto* filteredLayout = new QVBoxLayout(filtered);
  for (QRadioButton* b : {significatifs_, nePasFiltrer_}) filteredLayout->addWidget(b);
  optionsLayout->addWidget(shown);
  optionsLayout->addWidget(filtered);
  optionsLayout->addStretch();
  auto* explain = new QWidget;
  explain->setObjectName(QStringLiteral("TabSheet2"));
  auto* explainLayout = new QVBoxLayout(explain);
  explainLayout->setContentsMargins(2, 2, 2, 2);
  explainLayout->addWidget(explanation_);
  pages_->addTab(terms, MessageText(kMsgTermTerms));
  pages_->addTab(options, MessageText(kMsgTermOptions));
  pages_->addTab(explain, MessageText(kMsgTermExplanation));

  // The Scenario and Locate boxes.
  auto* scenarioLayout = new QVBoxLayout(groupScenario_);
  auto* modes = new QHBoxLayout;
  modes->addWidget(inserer_);
  modes->addWidget(radioInserer_);
  modes->addWidget(radioAjouter_);
  scenarioLayout->addLayout(modes);
  scenarioLayout->addWidget(sousClasser_);
  auto* locateLayout = new QVBoxLayout(groupLocaliser_);
  locateLayout->addWidget(automatique_);
  locateLayout->addWidget(localiserTexte_);
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(groupScenario_);
  boxes->addWidget(groupLocaliser_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(retablir_);
  buttons->addStretch();
  buttons->addWidget(annuler_);
  buttons->addWidget(aide_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 0);
  layout->addWidget(pages_, 1);
  layout->addLayout(boxes);
  layout->addLayout(buttons);
  layout->addWidget(status_);

  // The popup menu.
  QAction* insert = popup_->addAction(MessageText(kMsgTermInsert), this, [this] {
    logic_->PopupMenuInsererClick(SelectedLines());
    Sync();
  });
  insert->setObjectName(QStringLiteral("PopupMenuInserer"));
  insert->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  QAction* add = popup_->addAction(MessageText(kMsgTermAdd), this, [this] {
    logic_->PopupMenuAjouterClick(SelectedLines());
    Sync();
  });
  add->setObjectName(QStringLiteral("PopupMenuAjouter"));
  add->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  QAction* all = popup_->addAction(MessageText(kMsgTermSelectAll), list_, &QListWidget::selectAll);
  all->setObjectName(QStringLiteral("PopupMenuToutSelectionner"));
  QAction* copy = popup_->addAction(MessageText(kMsgTermCopy), this, [this] {
    logic_->PopupMenuCopyClick();
    Sync();
  });
  copy->setObjectName(QStringLiteral("PopupMenuCopy"));
  for (QAction* a : {insert, add}) {
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(a);
  }

  // The controls show the logic's switches.
  const TDlgExtracteurTerminologique& l = *logic_;
  using Show = TDlgExtracteurTerminologique::Show;
  (l.show == Show::kCompounds ? expressions_ : l.show == Show::kUnclassified ? nonClasses_ : tout_)->setChecked(true);
  (l.mostSignificant ? significatifs_ : nePasFiltrer_)->setChecked(true);
  (l.insertMode ? radioInserer_ : radioAjouter_)->setChecked(true);
  sousClasser_->setChecked(l.subclassify);
  automatique_->setChecked(l.locateInScenario);
  localiserTexte_->setChecked(l.locateInText);

  connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    ReadControls();
    logic_->ListBox1Click(list_->row(item));
    Sync();
  });
  connect(list_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { popup_->popup(list_->viewport()->mapToGlobal(p)); });
  connect(inserer_, &QPushButton::clicked, this, [this] {
    ReadControls();
    logic_->ButtonInsererClick(SelectedLines());
    Sync();
  });
  connect(retablir_, &QPushButton::clicked, this, [this] { RunTermExtraction(); });
  connect(annuler_, &QPushButton::clicked, this, &QWidget::close);
  connect(aide_, &QPushButton::clicked, this, [] { ShowHelpContext(kHelpTerminology); });
  logic_->refreshView = [this] { status_->setText(FromCp1252(logic_->StatusText())); };

  // Size by the screen; a small client area takes a small font.
  int width = 440;
  int height = 560;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    if (screen->geometry().height() > 768) height = 680;
    if (screen->geometry().width() > 1200) width = 520;
    height = std::min(height, screen->availableGeometry().height());
  }
  resize(width, height);
  if (height < kSmallClientHeight) {
    QFont small = font();
    small.setPointSize(6);
    setFont(small);
  }
  Sync();
}

TerminologyWindow::~TerminologyWindow() {
  if (instance == this) instance = nullptr;
}

void TerminologyWindow::ReadControls() {
  TDlgExtracteurTerminologique& l = *logic_;
  using Show = TDlgExtracteurTerminologique::Show;
  l.show = expressions_->isChecked() ? Show::kCompounds : nonClasses_->isChecked() ? Show::kUnclassified : Show::kAll;
  l.mostSignificant = !nePasFiltrer_->isChecked();
  l.insertMode = radioInserer_->isChecked();
  l.subclassify = sousClasser_->isChecked();
  l.locateInScenario = automatique_->isChecked();
  l.locateInText = localiserTexte_->isChecked();
}

void TerminologyWindow::RunTermExtraction() {
  ReadControls();
  list_->setUpdatesEnabled(false);
  logic_->RunTermExtraction();
  Sync();
  pages_->setCurrentIndex(0);
  list_->setUpdatesEnabled(true);
}

void TerminologyWindow::Sync() {
  const auto& lines = logic_->Lines();
  if (list_->count() != static_cast<int>(lines.size())) {
    list_->clear();
    for (size_t i = 0; i < lines.size(); ++i) list_->addItem(FromCp1252(lines[i]));
  } else {
    for (int i = 0; i < list_->count(); ++i) list_->item(i)->setText(FromCp1252(lines[static_cast<size_t>(i)]));
  }
  list_->viewport()->update();
  const bool enabled = logic_->ScenarioButtonsEnabled();
  inserer_->setEnabled(enabled);
  for (QAction* a : popup_->actions())
    if (a->objectName() == QLatin1String("PopupMenuInserer") || a->objectName() == QLatin1String("PopupMenuAjouter"))
      a->setEnabled(enabled);
  status_->setText(FromCp1252(logic_->StatusText()));
}

std::vector<int> TerminologyWindow::SelectedLines() const {
  std::vector<int> rows;
  for (int i = 0; i < list_->count(); ++i)
    if (list_->item(i)->isSelected()) rows.push_back(i);
  return rows;
}

void TerminologyWindow::closeEvent(QCloseEvent* event) {
  ReadControls();
  logic_->FormClose();
  QWidget::closeEvent(event);
}

TerminologyWindow* OpenTerminologyWindow() { return instance; }

TerminologyWindow* ShowTerminologyWindow(MainWindowPort& main, QWidget& parent) {
  if (!instance) {
    auto logic = std::make_unique<TDlgExtracteurTerminologique>(&main, [&main, &parent]() -> ScenarioEditorPort* {
      return &ScenarioEditorWindowInstance(&main, &parent)->Editor();
    });
    instance = new TerminologyWindow(std::move(logic), &parent);
    instance->setAttribute(Qt::WA_DeleteOnClose);
  }
  instance->show();
  instance->raise();
  instance->activateWindow();
  instance->RunTermExtraction();
  return instance;
}

}  // namespace quilor::ui
