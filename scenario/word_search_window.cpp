#include "scenario/word_search_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/files.h"
#include "ui/drag_formats.h"
#include "ui/painter_canvas_qt.h"
#include "ui/texts_qt.h"
#include "scenario/scenario_editor_window.h"

namespace quilor::ui {

namespace {

constexpr int kMsgClose = 545;
constexpr int kMsgHelp = 616;

WordSearchWindow* instance = nullptr;
// The owner SetWordSearchOwner names (its widget is the key: both go together).
MainWindowPort* ownerPort = nullptr;
QWidget* ownerWidget = nullptr;

}  // namespace

void MeaningLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  opt.text.clear();
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : nullptr;
  if (!style) return;
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
  const auto& lines = logic_.Lines();
  if (index.row() < 0 || static_cast<size_t>(index.row()) >= lines.size()) return;
  const QRect q = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
  painter->save();
  PainterCanvas canvas(*painter);
  DrawMeaningLine(canvas, Rect{q.left(), q.top(), q.right() + 1, q.bottom() + 1},
                  lines[static_cast<size_t>(index.row())], option.state & QStyle::State_Selected);
  painter->restore();
}

WordSearchWindow::WordSearchWindow(TDlgRechMot& logic, QWidget* parent)
    : QWidget(parent, Qt::Tool),
      logic_(logic),
      editUnMot_(new QComboBox),
      listBoxSens_(new QListWidget),
      radioMot_(new QRadioButton(MessageText(kMsgItselfThisWord))),
      radioClasse_(new QRadioButton(MessageText(kMsgSemanticClass))),
      motEntier_(new QCheckBox(MessageText(kMsgWholeWordOnly))),
      depuisDebut_(new QCheckBox(MessageText(kMsgFromTheTop))),
      chercher_(new QPushButton(MessageText(kMsgWordSearchSearch))),
      inserer_(new QPushButton),
      radioInserer_(new QRadioButton(MessageText(kMsgWordSearchInsert))),
      radioAjouter_(new QRadioButton(MessageText(kMsgWordSearchAdd))),
      sousClasser_(new QCheckBox(MessageText(kMsgWordSearchSubclassify))),
      lier_(new QToolButton),
      nePasArrimer_(new QToolButton),
      groupBox1_(new QGroupBox(MessageText(kMsgCreateNewEntry))),
      hint_(new QLabel(MessageText(kMsgStartSearching))),
      popupMenu1_(new QMenu(this)) {
  setObjectName("DlgRechMot");
  setWindowTitle(MessageText(kMsgWordSearchSearch));
  setAcceptDrops(true);
  editUnMot_->setObjectName("EditUnMot");
  editUnMot_->setEditable(true);
  editUnMot_->setInsertPolicy(QComboBox::NoInsert);
  listBoxSens_->setObjectName("ListBoxSens");
  listBoxSens_->setItemDelegate(new MeaningLineDelegate(logic_, listBoxSens_));
  radioMot_->setObjectName("RadioButtonMot");
  radioClasse_->setObjectName("RadioButtonClasse");
  radioClasse_->setToolTip(MessageText(kMsgWidenSense));
  motEntier_->setObjectName("CheckBoxMotEntier");
  motEntier_->setToolTip(MessageText(kMsgWholeWordHint));
  depuisDebut_->setObjectName("CheckBoxDepuisDebut");
  depuisDebut_->setToolTip(MessageText(kMsgFromTheTopHint));
  chercher_->setObjectName("ButtonChercher");
  chercher_->setDefault(true);
  inserer_->setObjectName("ButtonInserer");
  radioInserer_->setObjectName("RadioButtonInserer");
  radioInserer_->setToolTip(MessageText(kMsgInsertInTheScenario));
  radioAjouter_->setObjectName("RadioButtonAjouter");
  radioAjouter_->setToolTip(MessageText(kMsgAddInTheScenario));
  sousClasser_->setObjectName("CheckBoxSousClasserScenario");
  sousClasser_->setToolTip(MessageText(kMsgSubclassifyHint));
  lier_->setObjectName("SpeedButtonLierScenarioEtTexte");
  lier_->setToolTip(MessageText(kMsgLinkScenarioHint));
  lier_->setText(QStringLiteral("\u21c4"));
  lier_->setCheckable(true);
  nePasArrimer_->setObjectName("SpeedButtonNePasArrimerLeScenario");
  nePasArrimer_->setToolTip(MessageText(kMsgDoNotLinkHint));
  nePasArrimer_->setText(QStringLiteral("\u2260"));
  nePasArrimer_->setCheckable(true);
  groupBox1_->setObjectName("GroupBox1");
  hint_->setObjectName("LabelHint");
  hint_->setWordWrap(true);
  popupMenu1_->setObjectName("PopupMenu1");
  popupMenu1_->addAction(MessageText(kMsgClose), this, [this] { close(); })->setObjectName("PopupFermer");
  popupMenu1_->addAction(MessageText(kMsgHelp), this, [] { ShowHelpContext(kHelpWordSearch); })
      ->setObjectName("PopupHelp");

  auto* fieldRow = new QHBoxLayout;
  fieldRow->addWidget(new QLabel(MessageText(kMsgTypeWord)));
  fieldRow->addWidget(editUnMot_, 1);
  fieldRow->addWidget(chercher_);
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(motEntier_);
  boxes->addWidget(depuisDebut_);
  boxes->addStretch();
  auto* modeRow = new QHBoxLayout;
  auto* arrow = new QLabel(QStringLiteral("\u2192"));
  arrow->setObjectName("ImageFleche");
  modeRow->addWidget(new QLabel(MessageText(kMsgConnectTo)));
  modeRow->addWidget(arrow);
  modeRow->addWidget(radioMot_);
  modeRow->addWidget(radioClasse_);
  modeRow->addStretch();
  auto* entry = new QHBoxLayout(groupBox1_);
  entry->addWidget(radioInserer_);
  entry->addWidget(radioAjouter_);
  entry->addWidget(sousClasser_);
  entry->addStretch();
  entry->addWidget(lier_);
  entry->addWidget(nePasArrimer_);
  entry->addWidget(inserer_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fieldRow);
  layout->addLayout(boxes);
  layout->addLayout(modeRow);
  layout->addWidget(listBoxSens_, 1);
  layout->addWidget(groupBox1_);
  layout->addWidget(hint_);
  resize(520, 420);

  connect(editUnMot_, &QComboBox::editTextChanged, this, [this](const QString& text) {
    if (!syncing_) logic_.EditUnMotChange(ToCp1252(text));
  });
  connect(editUnMot_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    if (chercher_->isEnabled()) logic_.ButtonChercherClick();
  });
  connect(listBoxSens_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { OnItemChanged(item); });
  connect(chercher_, &QPushButton::clicked, this, [this] { logic_.ButtonChercherClick(); });
  connect(inserer_, &QPushButton::clicked, this, [this] { logic_.ButtonInsererClick(); });
  connect(radioMot_, &QRadioButton::clicked, this, [this] { logic_.RadioButtonMotClick(); });
  connect(radioClasse_, &QRadioButton::clicked, this, [this] { logic_.RadioButtonClasseClick(); });
  connect(motEntier_, &QCheckBox::toggled, this, [this](bool on) {
    if (!syncing_) logic_.SetWholeWord(on);
  });
  connect(depuisDebut_, &QCheckBox::toggled, this, [this](bool on) {
    if (!syncing_) logic_.SetFromTop(on);
  });
  connect(radioAjouter_, &QRadioButton::toggled, this, [this](bool on) {
    if (syncing_) return;
    logic_.SetAddMode(on);
    Sync();
  });
  connect(sousClasser_, &QCheckBox::toggled, this, [this](bool on) {
    if (!syncing_) logic_.SetSubclassify(on);
  });
  connect(lier_, &QToolButton::clicked, this, [this] { logic_.SetLinkScenario(true); });
  connect(nePasArrimer_, &QToolButton::clicked, this, [this] { logic_.SetLinkScenario(false); });
  logic_.changed = [this] { Sync(); };
  logic_.FormCreate();
}

WordSearchWindow::~WordSearchWindow() { logic_.changed = nullptr; }

void WordSearchWindow::Sync() {
  syncing_ = true;
  if (editUnMot_->currentText() != FromCp1252(logic_.FieldText()))
    editUnMot_->setEditText(FromCp1252(logic_.FieldText()));
  QStringList history;
  for (const std::string& item : logic_.History()) history << FromCp1252(item);
  QStringList shown;
  for (int i = 0; i < editUnMot_->count(); ++i) shown << editUnMot_->itemText(i);
  if (shown != history) {
    const QString text = editUnMot_->currentText();
    editUnMot_->clear();
    editUnMot_->addItems(history);
    editUnMot_->setEditText(text);
  }
  const auto& lines = logic_.Lines();
  bool same = listBoxSens_->count() == static_cast<int>(lines.size());
  for (int i = 0; same && i < listBoxSens_->count(); ++i)
    same = listBoxSens_->item(i)->text() == FromCp1252(lines[static_cast<size_t>(i)].shown);
  if (!same) {
    listBoxSens_->clear();
    for (const TScenParser::Record& record : lines) {
      auto* item = new QListWidgetItem(FromCp1252(record.shown), listBoxSens_);
      Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
      if (record.enabled) flags |= Qt::ItemIsEnabled;
      item->setFlags(flags);
    }
  }
  for (int i = 0; i < listBoxSens_->count(); ++i)
    listBoxSens_->item(i)->setCheckState(logic_.LineChecked(i) ? Qt::Checked : Qt::Unchecked);
  const bool controls = logic_.ControlsEnabled();
  radioMot_->setChecked(!logic_.ClassMode());
  radioClasse_->setChecked(logic_.ClassMode());
  radioMot_->setEnabled(controls);
  radioClasse_->setEnabled(controls);
  listBoxSens_->setEnabled(controls);
  motEntier_->setChecked(logic_.WholeWord());
  depuisDebut_->setChecked(logic_.FromTop());
  motEntier_->setEnabled(controls && logic_.WordBoxesEnabled());
  depuisDebut_->setEnabled(controls && logic_.WordBoxesEnabled());
  chercher_->setEnabled(logic_.SearchEnabled());
  inserer_->setEnabled(controls);
  inserer_->setText(MessageText(logic_.AddMode() ? kMsgAddInTheScenario : kMsgInsertInTheScenario));
  radioAjouter_->setChecked(logic_.AddMode());
  radioInserer_->setChecked(!logic_.AddMode());
  sousClasser_->setChecked(logic_.Subclassify());
  lier_->setChecked(logic_.LinkScenario());
  nePasArrimer_->setChecked(!logic_.LinkScenario());
  syncing_ = false;
}

void WordSearchWindow::OnItemChanged(QListWidgetItem* item) {
  if (syncing_) return;
  logic_.ListBoxSensClickCheck(listBoxSens_->row(item), item->checkState() == Qt::Checked);
}

void WordSearchWindow::closeEvent(QCloseEvent* event) {
  logic_.FormClose();
  QWidget::closeEvent(event);
}

void WordSearchWindow::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* data = event->mimeData();
  if (logic_.DropAllowed() && (data->hasFormat(kMimeResultItem) || data->hasFormat(kMimeTextWord)))
    event->acceptProposedAction();
}

bool WordSearchWindow::DropMime(const QMimeData& data) {
  if (data.hasFormat(kMimeResultItem)) {
    ResultsLineDrag line;
    return DecodeResultsLineDrag(data.data(kMimeResultItem).toStdString(), line) && logic_.DropResultItem(line.name);
  }
  int position = 0;
  if (data.hasFormat(kMimeTextWord))
    return DecodeTextWordDrag(data.data(kMimeTextWord).toStdString(), position) && logic_.DropTextWord(position);
  return false;
}

void WordSearchWindow::dropEvent(QDropEvent* event) {
  if (DropMime(*event->mimeData())) event->acceptProposedAction();
}

void WordSearchWindow::contextMenuEvent(QContextMenuEvent* event) { popupMenu1_->popup(event->globalPos()); }

WordSearchWindow* OpenWordSearch() { return instance && instance->isVisible() ? instance : nullptr; }

WordSearchWindow* ShowWordSearch(MainWindowPort& main, QWidget& parent) {
  if (!instance) {
    static TDlgRechMot* logic = nullptr;
    delete logic;
    logic = new TDlgRechMot(&main, [&main, &parent]() -> ScenarioEditorPort* {
      ScenarioEditor& editor = ScenarioEditorWindowInstance(&main, &parent)->Editor();
      // Closing the editor may have changed the Scenario: the meanings again.
      if (!editor.onClosed)
        editor.onClosed = [] {
          if (WordSearchWindow* open = OpenWordSearch()) open->Logic().Actualiser();
        };
      return &editor;
    });
    instance = new WordSearchWindow(*logic, &parent);
    QObject::connect(instance, &QObject::destroyed, [] { instance = nullptr; });
  }
  instance->show();
  instance->raise();
  instance->activateWindow();
  instance->EditUnMot()->setFocus();
  return instance;
}

void SearchInWordSearch(MainWindowPort& main, QWidget& parent, const std::string& text) {
  WordSearchWindow* search = ShowWordSearch(main, parent);
  if (!text.empty()) search->Logic().EditUnMotChange(text);
}

void SetWordSearchOwner(MainWindowPort& main, QWidget& parent) {
  ownerPort = &main;
  ownerWidget = &parent;
  QObject::connect(&parent, &QObject::destroyed, [w = &parent] {
    if (ownerWidget != w) return;
    ownerPort = nullptr;
    ownerWidget = nullptr;
  });
}

bool OpenWordSearchWith(const std::string& text) {
  if (!ownerWidget) return false;
  SearchInWordSearch(*ownerPort, *ownerWidget, text);
  return true;
}

}  // namespace quilor::ui
