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

#include "mainwindow/texts_qt.h"
#include "engine/options.h"
#include "engine/word_list.h"
#include "platform/text_encoding.h"
#include "scenario/texts.h"

namespace quilor::ui {

ScenarioWizardDialog::ScenarioWizardDialog(ScenarioEditor& editor, QWidget* parent)
    : QDialog(parent), wizard_(editor) {
  setWindowTitle(MessageText(7142));
  wizard_.textWordCount = [] { return TextWords.Count(); };
  auto* layout = new QVBoxLayout(this);
  pages_ = new QStackedWidget(this);
  layout->addWidget(pages_, 1);
  auto page = [this]() {
    auto* w = new QWidget(pages_);
    pages_->addWidget(w);
    return new QVBoxLayout(w);
  };
  QVBoxLayout* p1 = page();
  empty_ = new QRadioButton(MessageText(7510));
  fromText_ = new QRadioButton(MessageText(7511));
  existing_ = new QRadioButton(MessageText(7512));
  empty_->setObjectName(QStringLiteral("RadioButtonNouveauScenVide"));
  fromText_->setObjectName(QStringLiteral("RadioButtonNouveauScenAPartirDuTexte"));
  existing_->setObjectName(QStringLiteral("RadioButtonNouveauScenExistant"));
  for (QRadioButton* r : {empty_, fromText_, existing_}) p1->addWidget(r);
  p1->addStretch(1);
  QVBoxLayout* p2 = page();
  const int levelTexts[] = {kMsgReferenceFields1, kMsgReferenceFields2, kMsgReferences, kMsgUnclassifiedReferences,
                            kMsgSubstantives};
  for (int i = 0; i < 5; ++i) {
    levels_[i] = new QRadioButton(MessageText(levelTexts[i]));
    p2->addWidget(levels_[i]);
    connect(levels_[i], &QRadioButton::clicked, this, [this, i] { wizard_.LevelClicked(static_cast<WizardLevel>(i)); });
  }
  levels_[2]->setChecked(true);
  p2->addStretch(1);
  QVBoxLayout* p3 = page();
  threshold_ = new QLineEdit(QString::number(std::max<uint32_t>(1, Options->Get(opt::WizardThreshold))));
  subclassify_ = new QCheckBox(MessageText(7513));
  subclassify_->setChecked(!Options->Switch(opt::WizardNoRootGroup));
  p3->addWidget(threshold_);
  p3->addWidget(subclassify_);
  p3->addStretch(1);
  for (int i = 0; i < 2; ++i) {
    QVBoxLayout* p = page();
    auto* label = new QLabel(MessageText(7514));
    label->setWordWrap(true);
    p->addWidget(label);
    p->addStretch(1);
  }
  QVBoxLayout* p6 = page();
  files_ = new QListWidget;
  files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  const QDir folder(QString::fromStdString(WorkContext->UserScenarioFolder));
  files_->addItems(folder.entryList({QStringLiteral("*.scn")}, QDir::Files, QDir::Name));
  p6->addWidget(files_);
  p6->addWidget(new QLabel(MessageText(7515)));
  auto* buttons = new QHBoxLayout;
  back_ = new QPushButton(MessageText(7516));
  next_ = new QPushButton(MessageText(7517));
  done_ = new QPushButton(MessageText(746));
  buttons->addStretch(1);
  for (QPushButton* b : {back_, next_, done_}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(back_, &QPushButton::clicked, this, [this] { Back(); });
  connect(next_, &QPushButton::clicked, this, [this] { Next(); });
  connect(done_, &QPushButton::clicked, this, [this] { Done(); });
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
