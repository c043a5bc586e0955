#include "output/setup_wizard_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "ui/dialog_parent_qt.h"
#include "ui/texts_qt.h"
#include "core/files.h"
#include "core/messages.h"
#include "ui/desktop.h"
#include "platform/text_encoding.h"
#include "generated/message_names.h"

namespace quilor::ui {

namespace {

constexpr int kSetupHelpContext = 855;

QLabel* Paragraph(int id, QWidget* parent, bool bold = false) {
  auto* label = new QLabel(MessageText(id), parent);
  label->setWordWrap(true);
  if (bold) {
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
  }
  return label;
}

}  // namespace

TAssistantSetup::TAssistantSetup(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AssistantSetup"));
  setWindowTitle(QStringLiteral("Quilor: ") + MessageText(msg::kWizard) + QStringLiteral(" - ") +
                 MessageText(msg::kSoftwareInstallation));
  auto* layout = new QVBoxLayout(this);
  pages_ = new QStackedWidget(this);

  auto* start = new QWidget;
  auto* startLayout = new QVBoxLayout(start);
  startLayout->addWidget(Paragraph(msg::kWelcomeSetupWizard, start, true));
  startLayout->addWidget(Paragraph(msg::kQuilorKeepsOptionsScenarios, start));
  startLayout->addWidget(Paragraph(msg::kHowToSetUp, start));
  mono_ = new QRadioButton(MessageText(msg::kStandaloneUserAdministrator), start);
  multi_ = new QRadioButton(MessageText(msg::kMultiUsersRecommendedOption), start);
  mono_->setObjectName(QStringLiteral("ButtonMonoUtilisateur"));
  multi_->setObjectName(QStringLiteral("ButtonMultiUtilisateur"));
  startLayout->addWidget(mono_);
  startLayout->addWidget(multi_);
  startLayout->addWidget(Paragraph(msg::kStandaloneParametersStayPersonal, start));
  startLayout->addStretch(1);

  auto* folder = new QWidget;
  auto* folderLayout = new QVBoxLayout(folder);
  folderLayout->addWidget(Paragraph(msg::kParametersQuilorOptionsScenarios, folder));
  auto* browseRow = new QHBoxLayout;
  browseRow->addWidget(Paragraph(msg::kPleaseChooseFolderClick, folder));
  auto* browse = new QPushButton(MessageText(msg::kFolder), folder);
  browse->setObjectName(QStringLiteral("ButtonDossierSortie"));
  browseRow->addWidget(browse);
  folderLayout->addLayout(browseRow);
  folderLabel_ = new QLabel(folder);
  folderLabel_->setObjectName(QStringLiteral("LabelDossier"));
  folderLayout->addWidget(folderLabel_);
  folderLayout->addWidget(Paragraph(msg::kChooseFolderWhereMay, folder));
  samples_ = new QCheckBox(MessageText(msg::kCopySampleTexts), folder);
  samples_->setObjectName(QStringLiteral("CheckBoxTextesExemples"));
  samples_->setChecked(true);
  folderLayout->addWidget(samples_);
  folderLayout->addWidget(Paragraph(msg::kCheckBoxHaveSample, folder));
  folderLayout->addStretch(1);

  auto* end = new QWidget;
  auto* endLayout = new QVBoxLayout(end);
  endLayout->addWidget(Paragraph(msg::kSetUpCompleteClick, end));
  endLayout->addStretch(1);

  pages_->addWidget(start);
  pages_->addWidget(folder);
  pages_->addWidget(end);
  layout->addWidget(pages_, 1);

  auto* buttons = new QHBoxLayout;
  help_ = new QPushButton(MessageText(msg::kHelp), this);
  back_ = new QPushButton(QStringLiteral("< ") + MessageText(msg::kBack), this);
  next_ = new QPushButton(QStringLiteral("&") + MessageText(msg::kNext) + QStringLiteral(" >"), this);
  done_ = new QPushButton(MessageText(msg::kDone), this);
  help_->setObjectName(QStringLiteral("ButtonAide"));
  back_->setObjectName(QStringLiteral("ButtonPrecedent"));
  next_->setObjectName(QStringLiteral("ButtonSuivant"));
  done_->setObjectName(QStringLiteral("ButtonTerminer"));
  buttons->addWidget(help_);
  buttons->addStretch(1);
  buttons->addWidget(back_);
  buttons->addWidget(next_);
  buttons->addWidget(done_);
  layout->addLayout(buttons);

  connect(mono_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) model_.SetUsers(SetupWizardModel::Users::kSingle);
  });
  connect(multi_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) model_.SetUsers(SetupWizardModel::Users::kMulti);
  });
  connect(samples_, &QCheckBox::toggled, this, [this](bool on) { model_.SetCopySamples(on); });
  connect(browse, &QPushButton::clicked, this, [this] { ButtonDossierSortieClick(); });
  connect(next_, &QPushButton::clicked, this, [this] { ButtonSuivantClick(); });
  connect(back_, &QPushButton::clicked, this, [this] { ButtonPrecedentClick(); });
  connect(done_, &QPushButton::clicked, this, [this] { ButtonTerminerClick(); });
  connect(help_, &QPushButton::clicked, this, [] { ShowHelpContext(kSetupHelpContext); });
  Apply();
}

void TAssistantSetup::Apply() {
  pages_->setCurrentIndex(model_.Page() - 1);
  back_->setEnabled(model_.BackEnabled());
  next_->setEnabled(model_.NextEnabled());
  done_->setEnabled(model_.DoneEnabled());
  folderLabel_->setText(QString::fromStdString(model_.Folder()));
  if (model_.Page() == 3) {
    done_->setDefault(true);
    done_->setFocus();
  } else {
    next_->setDefault(true);
  }
}

void TAssistantSetup::ButtonSuivantClick() {
  SetupWizardModel::NextResult r = model_.Next(GetPersonalFolder());
  if (r == SetupWizardModel::NextResult::kChooseOption) {
    ShowError(GetMessageText(kMsgChooseAnOption));
    return;
  }
  if (r == SetupWizardModel::NextResult::kBrowseFolder) {
    ButtonDossierSortieClick();
    if (!model_.Folder().empty()) model_.Next(std::string());
  }
  Apply();
}

void TAssistantSetup::ButtonPrecedentClick() {
  model_.Back();
  Apply();
}

void TAssistantSetup::ButtonDossierSortieClick() {
  const std::string start = model_.Folder().empty() ? GetPersonalFolder() : model_.Folder();
  model_.SetFolder(
      CurrentDesktop().ChooseFolder(Cp1252ToUtf8(GetMessageText(msg::kPleaseSelectExistingOutput)), start));
  Apply();
}

void TAssistantSetup::ButtonTerminerClick() {
  const SetupWizardChoice choice = model_.Choice();
  if (choice.multiUser) {
    // The folder must exist before the wizard closes; when it cannot be
    // made the message is shown and the user chooses again on this page.
    std::string optionsFolder;
    if (!FinishSetupWizard(choice, optionsFolder)) {
      Apply();
      return;
    }
  }
  result_ = choice;
  accept();
}

SetupWizardChoice SetupWizardDialogRunner::Run() {
  // On the heap: the window it opens over may go while it waits.
  HeapDialog<TAssistantSetup> dialog(DialogParent());
  return dialog.Run() ? dialog->Result() : SetupWizardModel::ClosedChoice();
}

}  // namespace quilor::ui
