#include "output/display_options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/files.h"
#include "core/messages.h"
#include "ui/desktop.h"
#include "ui/texts_qt.h"
#include "ui/painter_canvas_qt.h"
#include "platform/text_encoding.h"
#include "generated/message_names.h"

namespace quilor::ui {

namespace {

constexpr int kMsgOptions = 620;
constexpr int kMsgGraphs = 727;
constexpr int kMsgColours = 543;
constexpr int kMsgClickMe = 722;
constexpr int kMsgOk = 680;
constexpr int kMsgCancel = 661;
constexpr int kMsgHelp = 616;
constexpr int kMsgType = 731;
constexpr int kMsgMaximumObjects = 729;
constexpr int kMsgBurstsOnAll = 730;
constexpr int kMsgTexture = 732;
constexpr int kMsgTransparent = 733;
constexpr int kMsg3D = 1055;
constexpr int kMsgModify = 521;
constexpr int kMsgRestore = 737;
constexpr int kMsgRestoreHint = 738;
constexpr int kMsgColoration = 772;
constexpr int kMsgSelective = 773;
constexpr int kMsgSyntactic = 774;
constexpr int kHelpGraphs = 740;
constexpr int kHelpColours = 982;
constexpr int kObjectsStep = 2;

QString Title(int what) { return MessageText(kMsgOptions) + " (" + MessageText(what) + ")"; }

// Ok, Cancel and Help with the string table's captions.
QDialogButtonBox* Buttons(QDialog* dialog, int helpContext) {
  auto* box = new QDialogButtonBox(dialog);
  box->addButton(MessageText(kMsgOk), QDialogButtonBox::AcceptRole);
  box->addButton(MessageText(kMsgCancel), QDialogButtonBox::RejectRole);
  QPushButton* help = box->addButton(MessageText(kMsgHelp), QDialogButtonBox::HelpRole);
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  QObject::connect(help, &QPushButton::clicked, dialog, [helpContext] { ShowHelpContext(helpContext); });
  return box;
}

// The kinds in the order of the dialog, with their captions.
struct KindChoice {
  int kind;
  int caption;
};
constexpr KindChoice kKindButtons[] = {
    {2, msg::kStar}, {1, msg::kArea}, {3, msg::kDistribution}, {4, msg::kEpisodes}, {5, msg::kActors}};

}  // namespace

GraphOptionsDialog::GraphOptionsDialog(TOptionsRecord& options, MainWindowPort& port, QWidget* parent)
    : QDialog(parent), logic_(options, [&port] { port.RazAffichageEtGraphe(); }) {
  setWindowTitle(Title(kMsgGraphs));
  setToolTip(MessageText(kMsgClickMe));
  auto* layout = new QVBoxLayout(this);

  auto* typeBox = new QGroupBox(MessageText(kMsgType), this);
  auto* typeLayout = new QVBoxLayout(typeBox);
  kinds_ = new QButtonGroup(this);
  for (const KindChoice& k : kKindButtons) {
    auto* button = new QRadioButton(CapitalisedMessage(k.caption), typeBox);
    kinds_->addButton(button, k.kind);
    typeLayout->addWidget(button);
  }
  layout->addWidget(typeBox);

  auto* objectsBox = new QGroupBox(MessageText(kMsgMaximumObjects), this);
  auto* objectsLayout = new QHBoxLayout(objectsBox);
  objects_ = new QScrollBar(Qt::Horizontal, objectsBox);
  objects_->setRange(kMinGraphObjects, kMaxGraphObjects);
  objects_->setSingleStep(kObjectsStep);
  objects_->setPageStep(kObjectsStep);
  objectsLabel_ = new QLabel(objectsBox);
  objectsLayout->addWidget(objects_, 1);
  objectsLayout->addWidget(objectsLabel_);
  layout->addWidget(objectsBox);

  bursts_ = new QCheckBox(MessageText(kMsgBurstsOnAll), this);
  layout->addWidget(bursts_);

  auto* textureBox = new QGroupBox(MessageText(kMsgTexture), this);
  auto* textureLayout = new QHBoxLayout(textureBox);
  transparent_ = new QRadioButton(MessageText(kMsgTransparent), textureBox);
  threeD_ = new QRadioButton(MessageText(kMsg3D), textureBox);
  textureLayout->addWidget(transparent_);
  textureLayout->addWidget(threeD_);
  layout->addWidget(textureBox);
  layout->addWidget(Buttons(this, kHelpGraphs));

  // The controls show the values without writing them.
  objects_->setValue(logic_.MaximumObjects());
  objectsLabel_->setText(QString::number(logic_.MaximumObjects()));
  kinds_->button(logic_.Kind())->setChecked(true);
  bursts_->setChecked(logic_.BurstsOnAllCategories());
  (logic_.ThreeD() ? threeD_ : transparent_)->setChecked(true);

  connect(kinds_, &QButtonGroup::idToggled, this, [this](int kind, bool checked) {
    if (checked) logic_.SetKind(kind);
  });
  connect(objects_, &QScrollBar::valueChanged, this, [this](int value) {
    objectsLabel_->setText(QString::number(value));
    logic_.SetMaximumObjects(value);
  });
  connect(bursts_, &QCheckBox::toggled, this, [this](bool on) { logic_.SetBurstsOnAllCategories(on); });
  connect(threeD_, &QRadioButton::toggled, this, [this](bool on) { logic_.SetThreeD(on); });
}

GraphOptionsDialog::~GraphOptionsDialog() = default;

QRadioButton* GraphOptionsDialog::KindButton(int kind) const {
  return qobject_cast<QRadioButton*>(kinds_->button(kind));
}

void GraphOptionsDialog::reject() {
  logic_.Cancel();
  QDialog::reject();
}

ColourOptionsDialog::ColourOptionsDialog(TOptionsRecord& options, ColourOptionsLogic::ColourTable& current,
                                         MainWindowPort& port, QWidget* parent)
    : QDialog(parent), logic_(options, current, [&port] { port.RazAffichageEtGraphe(); }) {
  filling_ = true;
  setWindowTitle(Title(kMsgColours));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  list_ = new QListWidget(this);
  list_->setToolTip(MessageText(kMsgClickMe));
  row->addWidget(list_, 1);
  auto* side = new QVBoxLayout;
  auto* modify = new QPushButton(MessageText(kMsgModify), this);
  auto* restore = new QPushButton(MessageText(kMsgRestore), this);
  restore->setToolTip(MessageText(kMsgRestoreHint));
  side->addWidget(modify);
  side->addWidget(restore);
  side->addStretch(1);
  row->addLayout(side);
  layout->addLayout(row);
  auto* colouring = new QGroupBox(MessageText(kMsgColoration), this);
  auto* colouringLayout = new QHBoxLayout(colouring);
  selective_ = new QRadioButton(MessageText(kMsgSelective), colouring);
  syntactic_ = new QRadioButton(MessageText(kMsgSyntactic), colouring);
  colouringLayout->addWidget(selective_);
  colouringLayout->addWidget(syntactic_);
  layout->addWidget(colouring);
  layout->addWidget(Buttons(this, kHelpColours));

  FillList();
  (logic_.Selective() ? selective_ : syntactic_)->setChecked(true);
  connect(modify, &QPushButton::clicked, this, &ColourOptionsDialog::Modify);
  connect(list_, &QListWidget::itemDoubleClicked, this, &ColourOptionsDialog::Modify);
  connect(restore, &QPushButton::clicked, this, &ColourOptionsDialog::Restore);
  connect(selective_, &QRadioButton::toggled, this, [this](bool on) {
    if (!filling_) logic_.SetSelective(on, isVisible());
  });
  filling_ = false;
}

ColourOptionsDialog::~ColourOptionsDialog() = default;

void ColourOptionsDialog::FillList() {
  const int selected = std::max(list_->currentRow(), 0);
  list_->clear();
  for (int r = 0; r < static_cast<int>(kColourRows.size()); ++r) {
    QPixmap swatch(16, 12);
    swatch.fill(ToQColor(logic_.RowColour(r)));
    list_->addItem(new QListWidgetItem(QIcon(swatch), MessageText(kColourRows[static_cast<size_t>(r)].caption)));
  }
  list_->setCurrentRow(selected);
}

void ColourOptionsDialog::Modify() {
  const int row = list_->currentRow();
  if (row < 0) return;
  if (logic_.Modify(row, CurrentDesktop())) FillList();
}

void ColourOptionsDialog::Restore() {
  logic_.Restore();
  FillList();
}

void ColourOptionsDialog::reject() {
  logic_.Cancel();
  QDialog::reject();
}

}  // namespace quilor::ui
