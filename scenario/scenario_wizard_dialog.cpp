#include "scenario/scenario_wizard_dialog.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "ui/texts_qt.h"
#include "core/files.h"
#include "core/options.h"
#include "engine/word_list.h"
#include "platform/text_encoding.h"
#include "scenario/texts.h"
#include "generated/message_names.h"

namespace quilor::ui {

namespace {

// A page's heading: larger and bold, above its explanation.
QLabel* Heading(int text) {
  auto* label = new QLabel(MessageText(text));
  QFont font = label->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.2);
  label->setFont(font);
  label->setWordWrap(true);
  return label;
}

QLabel* Explanation(int text) {
  auto* label = new QLabel(MessageText(text));
  label->setWordWrap(true);
  return label;
}

}  // namespace

ScenarioWizardDialog::ScenarioWizardDialog(ScenarioEditor& editor, QWidget* parent) : QDialog(parent), wizard_(editor) {
  setWindowTitle(MessageText(kMsgWizardTitle));
  setObjectName(QStringLiteral("TAssistantScenario"));
  wizard_.textWordCount = [] { return TextWords.Count(); };
  wizard_.openDocument = editor.openDocument;
  auto* layout = new QVBoxLayout(this);
  pages_ = new QStackedWidget(this);
  layout->addWidget(pages_, 1);
  auto page = [this](int heading, int explanation) {
    auto* w = new QWidget(pages_);
    pages_->addWidget(w);
    auto* box = new QVBoxLayout(w);
    box->addWidget(Heading(heading));
    if (explanation) box->addWidget(Explanation(explanation));
    box->addSpacing(6);
    return box;
  };
  QVBoxLayout* p1 = page(kMsgWizardWayHeading, kMsgWizardWayText);
  empty_ = new QRadioButton(MessageText(msg::kManuallyEmptyScenario));
  fromText_ = new QRadioButton(MessageText(msg::kAutomaticallyCurrentText));
  existing_ = new QRadioButton(MessageText(msg::kExistingScenarios));
  empty_->setObjectName(QStringLiteral("RadioButtonNouveauScenVide"));
  fromText_->setObjectName(QStringLiteral("RadioButtonNouveauScenAPartirDuTexte"));
  existing_->setObjectName(QStringLiteral("RadioButtonNouveauScenExistant"));
  for (QRadioButton* r : {empty_, fromText_, existing_}) p1->addWidget(r);
  p1->addStretch(1);
  QVBoxLayout* p2 = page(kMsgWizardLevelHeading, kMsgWizardLevelText);
  const int levelTexts[] = {kMsgReferenceFields1, kMsgReferenceFields2, kMsgReferences, kMsgUnclassifiedReferences,
                            kMsgSubstantives};
  for (int i = 0; i < 5; ++i) {
    levels_[i] = new QRadioButton(MessageText(levelTexts[i]));
    p2->addWidget(levels_[i]);
    connect(levels_[i], &QRadioButton::clicked, this, [this, i] { wizard_.LevelClicked(static_cast<WizardLevel>(i)); });
  }
  levels_[2]->setChecked(true);
  p2->addStretch(1);
  QVBoxLayout* p3 = page(kMsgWizardThresholdHeading, 0);
  threshold_ = new QLineEdit(QString::number(std::max<uint32_t>(1, Options->Get(opt::WizardThreshold))));
  threshold_->setObjectName(QStringLiteral("ValSeuilFreq"));
  threshold_->setMaximumWidth(80);
  auto* thresholdRow = new QHBoxLayout;
  auto* thresholdLabel = new QLabel(MessageText(kMsgWizardThresholdLabel));
  thresholdLabel->setBuddy(threshold_);
  thresholdRow->addWidget(thresholdLabel);
  thresholdRow->addWidget(threshold_);
  thresholdRow->addStretch(1);
  p3->addLayout(thresholdRow);
  subclassify_ = new QCheckBox(MessageText(msg::kSubclassify));
  subclassify_->setChecked(!Options->Switch(opt::WizardNoRootGroup));
  p3->addSpacing(6);
  p3->addWidget(subclassify_);
  p3->addWidget(Explanation(kMsgWizardSubclassifyText));
  p3->addStretch(1);
  for (int i = 0; i < 2; ++i) {
    QVBoxLayout* p = page(kMsgWizardReadyHeading, kMsgWizardReadyText);
    p->addStretch(1);
  }
  QVBoxLayout* p6 = page(kMsgWizardFilesHeading, 0);
  files_ = new QListWidget;
  files_->setObjectName(QStringLiteral("FileListBox1"));
  files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  // A merge killed half-way left its file in the folder: it is not listed.
  RemoveStaleMergeFiles();
  const QDir folder(QString::fromStdString(WorkContext->UserScenarioFolder));
  files_->addItems(folder.entryList({QStringLiteral("*.scn")}, QDir::Files, QDir::Name));
  auto* filesLabel = new QLabel(MessageText(kMsgWizardFilesLabel));
  filesLabel->setBuddy(files_);
  p6->addWidget(filesLabel);
  p6->addWidget(files_);
  p6->addWidget(new QLabel(MessageText(msg::kPressCtrlSelectMultiple)));
  auto* buttons = new QHBoxLayout;
  help_ = new QPushButton(MessageText(msg::kHelp));
  back_ = new QPushButton(MessageText(msg::kWizardBack));
  next_ = new QPushButton(MessageText(msg::kWizardNext));
  done_ = new QPushButton(MessageText(msg::kDone));
  help_->setObjectName(QStringLiteral("ButtonAide"));
  buttons->addWidget(help_);
  buttons->addStretch(1);
  for (QPushButton* b : {back_, next_, done_}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(help_, &QPushButton::clicked, this, [] { ShowHelpContext(kHelpScenarioWizard); });
  connect(back_, &QPushButton::clicked, this, [this] { Back(); });
  connect(next_, &QPushButton::clicked, this, [this] { Next(); });
  connect(done_, &QPushButton::clicked, this, [this] { Done(); });
  setMinimumWidth(460);
  Show();
}

void ScenarioWizardDialog::Take() {
  wizard_.way = empty_->isChecked()      ? WizardWay::kEmpty
                : fromText_->isChecked() ? WizardWay::kFromText
                : existing_->isChecked() ? WizardWay::kExisting
                                         : WizardWay::kNone;
  for (int i = 0; i < 5; ++i)
    if (levels_[i]->isChecked()) wizard_.level = static_cast<WizardLevel>(i);
  wizard_.threshold = threshold_->text().trimmed().toStdString();
  wizard_.subclassify = subclassify_->isChecked();
  wizard_.selectedFiles.clear();
  for (QListWidgetItem* item : files_->selectedItems()) wizard_.selectedFiles.push_back(item->text().toStdString());
}

void ScenarioWizardDialog::Show() {
  pages_->setCurrentIndex(wizard_.page - 1);
  back_->setEnabled(wizard_.page > 1);
  next_->setEnabled(wizard_.page <= 3 || wizard_.page == 6);
  done_->setEnabled(wizard_.page >= 4);
  // Enter goes on: Next while there is a next page, then Done.
  next_->setDefault(next_->isEnabled());
  done_->setDefault(!next_->isEnabled() && done_->isEnabled());
  if (wizard_.closed) accept();
}

void ScenarioWizardDialog::Next() {
  Take();
  wizard_.ButtonSuivantClick();
  Show();
}

void ScenarioWizardDialog::Back() {
  wizard_.ButtonPrecedentClick();
  Show();
}

void ScenarioWizardDialog::Done() {
  Take();
  setEnabled(false);
  wizard_.ButtonTerminerClick();
  setEnabled(true);
  Show();
}

}  // namespace quilor::ui
